#pragma once

#include <windows.h>

#include <string_view>
#include <utility>
#include <vector>

struct IAccPropServices;

namespace sorvane::win32 {

// The names a screen reader says for the window's controls, given through Windows' own
// accessibility: each control's name is annotated on the object that Windows already serves for
// it, which keeps its role, state and value as the control reports them.
class AccessibleNames {
public:
    /// Names through the system's annotation service; names nothing where there is none.
    AccessibleNames();
    ~AccessibleNames();
    AccessibleNames(const AccessibleNames&) = delete;
    AccessibleNames& operator=(const AccessibleNames&) = delete;

    /// Names the control `hwnd`.
    void name(HWND hwnd, std::string_view name);

    /// Names the one button of a toolbar: the button itself where the toolbar serves its buttons
    /// as child elements, else the toolbar, so that the button is still found by its name.
    void nameButton(HWND toolbar, std::string_view name);

    /// Removes every name given: the annotations must go before their windows do.
    void clear();

private:
    void annotate(HWND hwnd, DWORD child, std::string_view name);

    IAccPropServices* services_ = nullptr;
    bool comStarted_ = false;
    std::vector<std::pair<HWND, DWORD>> named_;
};

}  // namespace sorvane::win32
