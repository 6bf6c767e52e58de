#pragma once

#include <windows.h>

#include "controls.h"
#include "handles.h"

namespace sorvane::win32 {

// The window follows the DPI of the screen it stands on, through the system's functions of
// Windows 10, found at run time so that the program still starts on older Windows, where every
// window has the system's DPI.

/// The DPI of `hwnd`, or the system's.
UINT dpiOf(HWND hwnd);

/// Grows the client rectangle `rect` to the outer rectangle of a window of the given styles at
/// `dpi`.
void adjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);

/// Twips in pixels at `dpi`, rounded.
int pixelsAt(double twips, UINT dpi);

/// A font of the design at `dpi`.
FontHandle makeFont(form::FontId id, UINT dpi);

}  // namespace sorvane::win32
