#include "pictures.h"

#include "resource_ids.h"

namespace sorvane::win32 {

ImageListHandle toolbarPictures(UINT dpi) {
    // Drawn at 16 and at 32 pixels. Between 96 and 192 dots per inch the pictures stay at 16:
    // the system scales a bitmap without its alpha, which would set each picture on black.
    const bool large = dpi >= 192;
    const int size = large ? 32 : 16;
    const auto bitmap = static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr),
        MAKEINTRESOURCEW(large ? IDB_TOOLBAR_PICTURES_2X : IDB_TOOLBAR_PICTURES), IMAGE_BITMAP, 0,
        0, LR_CREATEDIBSECTION));
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
