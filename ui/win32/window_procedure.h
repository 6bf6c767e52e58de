#pragma once

#include <windows.h>

namespace sorvane::win32 {

/// Gives `control` the window procedure `replacement`, which hands on what it leaves alone with
/// passOn(). A control takes one replacement.
///
/// The control's own procedure is kept in its user data. SetWindowSubclass would find it through
/// a window property instead, which under Wine costs a round trip to its server on every message
/// the control gets: a list view sends its header dozens for each column it adds.
void replaceProcedure(HWND control, WNDPROC replacement);

/// What the control's own window procedure answers to a message.
LRESULT passOn(HWND control, UINT message, WPARAM w, LPARAM l);

}  // namespace sorvane::win32
