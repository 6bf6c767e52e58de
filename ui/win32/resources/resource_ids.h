// The numbers by which the Windows program finds its icon and pictures in its own resources.
// Read both by the C++ code and by the resource compiler, so it holds nothing but #defines.
#ifndef SORVANE_UI_WIN32_RESOURCES_RESOURCE_IDS_H
#define SORVANE_UI_WIN32_RESOURCES_RESOURCE_IDS_H

// The program's icon: 16, 24, 32, 48, 64 and 256 pixels in one icon resource, so LoadImageW
// picks the size asked for. Being the first icon resource, it is also the one Explorer shows
// for sorvane.exe.
#define IDI_SORVANE 1

// The toolbar pictures as one strip of 32-bit bitmaps with straight (not premultiplied) alpha,
// left to right in the order below: 16 x 16 each in IDB_TOOLBAR_PICTURES, 24 x 24 in
// IDB_TOOLBAR_PICTURES_1_5X for 150% scale, 32 x 32 in IDB_TOOLBAR_PICTURES_2X for 200%.
// LoadImageW(..., IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION) then ImageList_Add into an
// ImageList_Create(size, size, ILC_COLOR32, ...) list gives one image per square, as does
// ImageList_LoadImageW with CLR_NONE and LR_CREATEDIBSECTION. Load them at their own size:
// LoadImageW drops the alpha of a bitmap it scales.
#define IDB_TOOLBAR_PICTURES 101
#define IDB_TOOLBAR_PICTURES_2X 102
#define IDB_TOOLBAR_PICTURES_1_5X 103

// A picture's place in either strip.
#define SORVANE_PICTURE_PASTE 0
#define SORVANE_PICTURE_COPY 1
#define SORVANE_PICTURE_COUNT 2

#endif
