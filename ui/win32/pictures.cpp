#include "pictures.h"

#include "resource_ids.h"

namespace sorvane::win32 {

ImageListHandle toolbarPictures(UINT dpi) {
    const int size = MulDiv(16, static_cast<int>(dpi), 96);
    // Drawn at 16 and at 32 pixels; a size between is made from the larger drawing, as a
    // picture loses less on the way down than on the way up.
    const bool large = size > 16;
    const int drawn = large ? 32 : 16;
    const int width = size == drawn ? 0 : size * SORVANE_PICTURE_COUNT;
    const int height = size == drawn ? 0 : size;
    const auto bitmap = static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr),
        MAKEINTRESOURCEW(large ? IDB_TOOLBAR_PICTURES_2X : IDB_TOOLBAR_PICTURES), IMAGE_BITMAP,
        width, height, LR_CREATEDIBSECTION));
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
