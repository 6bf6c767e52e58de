#pragma once

#include <windows.h>

namespace sorvane::win32 {

/// The procedure of a toolbar that takes the focus, which toolbars seldom do: Space and Enter
/// press its button as a click does, and a dotted frame shows where the focus is.
LRESULT CALLBACK toolbarProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l);

/// The procedure of a band container, which paints only its band: the rest of it is the
/// window's background.
LRESULT CALLBACK bandContainerProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l);

}  // namespace sorvane::win32
