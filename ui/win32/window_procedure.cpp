#include "window_procedure.h"

namespace sorvane::win32 {

void replaceProcedure(HWND control, WNDPROC replacement) {
    if (control == nullptr || GetWindowLongPtrW(control, GWLP_USERDATA) != 0) return;
    // Kept before the procedure changes, so that no message finds it missing.
    SetWindowLongPtrW(control, GWLP_USERDATA, GetWindowLongPtrW(control, GWLP_WNDPROC));
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replacement));
}

LRESULT passOn(HWND control, UINT message, WPARAM w, LPARAM l) {
    const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_USERDATA));
    return own != nullptr ? CallWindowProcW(own, control, message, w, l)
                          : DefWindowProcW(control, message, w, l);
}

}  // namespace sorvane::win32
