// Sorvane: compares two lists of records copied from a spreadsheet. The Windows program.

#include <windows.h>

#include <string>

#include "controls.h"
#include "principal.h"
#include "wide_text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    try {
        sorvane::win32::Principal window;
        window.show(showCommand);
        return sorvane::win32::runMessageLoop(window.hwnd());
    } catch (const sorvane::win32::StartupError& e) {
        // Without a window nothing else would tell the user, and the process would wait on.
        const std::wstring title = sorvane::win32::wide(sorvane::form::kWindowCaption);
        MessageBoxW(nullptr, sorvane::win32::wide(e.what()).c_str(), title.c_str(),
                    MB_ICONERROR | MB_OK);
        return 1;
    }
}
