#include "toolbar_keys.h"

#include <commctrl.h>

#include "window_procedure.h"

namespace sorvane::win32 {

LRESULT CALLBACK toolbarProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_GETDLGCODE: {
            const auto* key = reinterpret_cast<const MSG*>(l);
            if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
                return DLGC_WANTMESSAGE;  // else the dialog keys would take Enter for OK
            }
            break;
        }
        case WM_KEYDOWN:
            if (w == VK_SPACE || w == VK_RETURN) {
                if ((l & (1 << 30)) == 0) {  // not again while held
                    // As a click on its button tells the window.
                    SendMessageW(GetAncestor(hwnd, GA_ROOT), WM_COMMAND,
                                 MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(hwnd));
                }
                return 0;
            }
            break;
        case WM_CHAR:
            if (w == L' ' || w == L'\r') return 0;
            break;
        case WM_KILLFOCUS:
            // The button stays lit by the keyboard's visit otherwise.
            SendMessageW(hwnd, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case WM_SETFOCUS:
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case WM_PAINT: {
            const LRESULT result = passOn(hwnd, message, w, l);
            if (GetFocus() == hwnd) {
                RECT button{};
                SendMessageW(hwnd, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
                InflateRect(&button, -2, -2);
                const HDC dc = GetDC(hwnd);
                DrawFocusRect(dc, &button);
                ReleaseDC(hwnd, dc);
            }
            return result;
        }
        default:
            break;
    }
    return passOn(hwnd, message, w, l);
}

LRESULT CALLBACK bandContainerProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_ERASEBKGND) {
        RECT client{};
        GetClientRect(hwnd, &client);
        FillRect(reinterpret_cast<HDC>(w), &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    return passOn(hwnd, message, w, l);
}

}  // namespace sorvane::win32
