// Sorvane: compares two lists of records copied from a spreadsheet. The Windows program.

#include <windows.h>

#include "principal.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    sorvane::win32::Principal window;
    window.show(showCommand);
    return sorvane::win32::runMessageLoop(window.hwnd());
}
