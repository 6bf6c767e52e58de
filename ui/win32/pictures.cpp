#include "pictures.h"

#include "resource_ids.h"

namespace sorvane::win32 {

ImageListHandle toolbarPictures(UINT dpi) {
    // Drawn at 16, 24 and 32 pixels, for 100, 150 and 200 %; each DPI takes the largest drawing
    // that is not larger than 16 pixels at that DPI. Loaded at their own size: the system
    // scales a bitmap without its alpha, which would set each picture on black.
    int id = IDB_TOOLBAR_PICTURES;
    int size = 16;
    if (dpi >= 192) {
        id = IDB_TOOLBAR_PICTURES_2X;
        size = 32;
    } else if (dpi >= 144) {
        id = IDB_TOOLBAR_PICTURES_1_5X;
        size = 24;
    }
    const auto bitmap = static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ImageListHandle list(ImageList_Create(size, size, ILC_COLOR32, SORVANE_PICTURE_COUNT, 0));
    if (list && bitmap != nullptr) ImageList_Add(list.get(), bitmap, nullptr);
    if (bitmap != nullptr) DeleteObject(bitmap);
    return list;
}

int pictureIndex(form::Picture picture) {
    return picture == form::Picture::Copy ? SORVANE_PICTURE_COPY : SORVANE_PICTURE_PASTE;
}

HICON programIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(IDI_SORVANE), IMAGE_ICON, size, size,
                                         LR_SHARED));
}

}  // namespace sorvane::win32
