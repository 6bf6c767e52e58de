#pragma once

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "clipboard.h"
#include "commands.h"
#include "message_boxes.h"
#include "record_views.h"
#include "window_controls.h"
#include "workspace.h"

namespace sorvane::win32 {

/// The window could not be made: what failed, as the user reads it.
class StartupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Sorvane's one window on Windows, built from the shared description of its controls with the
// common controls. Its window procedure turns each event into a command of the core and shows
// what the core says changed; it decides nothing about the data.
class Principal : private core::WindowPort {
public:
    /// The name of the window's class.
    static constexpr wchar_t kWindowClass[] = L"Sorvane.Principal";

    /// The window, not yet shown; null arguments give the system's clipboard and message boxes.
    /// Throws StartupError when Windows will not make it.
    explicit Principal(core::Clipboard* clipboard = nullptr, Messages* messages = nullptr);
    ~Principal() override;
    Principal(const Principal&) = delete;
    Principal& operator=(const Principal&) = delete;

    /// Shows the window as `showCommand` says, with the focus on the first control in tab order.
    void show(int showCommand);

    /// The window.
    HWND hwnd() const { return hwnd_; }

    /// The window of a control, by its name in the design: a toolbar's is the toolbar itself.
    HWND control(form::ControlId id) const { return controls_[id]; }

    /// The number that a control's notifications and commands carry.
    static int controlNumber(form::ControlId id) { return WindowControls::controlNumber(id); }

    /// Everything the window shows of the data.
    const core::Workspace& workspace() const { return workspace_; }

private:
    static LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);

    // Events.
    void onDpiChanged(UINT dpi, const RECT& suggested);
    void onCommand(int number);
    LRESULT onNotify(NMHDR& header);
    void onTooltip(int number, wchar_t* text, int room);
    LRESULT onTextColour(HDC dc, HWND part);
    bool onSetCursor();
    void onActivate(bool leaving);

    // core::WindowPort
    void setPointer(core::Pointer pointer) override;
    core::Answer askRetry(const std::string& report) override;
    void showChanges(const core::Changes& changes) override;
    void showMessage(core::Message kind, const std::string& text) override;
    core::ChooserTexts chooserTexts() const override;

    void refillChoosers(core::Side side);
    void showCount(core::ListId id);

    std::unique_ptr<core::Clipboard> ownClipboard_;
    std::unique_ptr<Messages> ownMessages_;
    Messages* messages_;
    core::Workspace workspace_;
    core::Commands commands_;

    HWND hwnd_ = nullptr;
    WindowControls controls_;
    RecordViews views_;
    HWND focus_ = nullptr;  // the control that had the focus when the window was last left
    bool busy_ = false;
};

/// Runs the message loop until the window `main` closes, with the dialog keys in it: Tab and
/// Shift+Tab through its controls, and Alt with an access key. Returns the exit code.
int runMessageLoop(HWND main);

}  // namespace sorvane::win32
