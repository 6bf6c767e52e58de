#pragma once

#include <windows.h>

#include "controls.h"
#include "handles.h"

namespace sorvane::win32 {

// The pictures linked into the program (see resources/resource_ids.h).

/// The two toolbar pictures, paste and copy, at `dpi`: 16 pixels square at 96 dots per inch,
/// 24 from 144 on, 32 from 192 on.
ImageListHandle toolbarPictures(UINT dpi);

/// A picture's place in toolbarPictures().
int pictureIndex(form::Picture picture);

/// The program's icon, `size` pixels square; the system frees it.
HICON programIcon(int size);

}  // namespace sorvane::win32
