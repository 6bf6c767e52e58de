#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "accessible_names.h"
#include "clipboard.h"
#include "commands.h"
#include "handles.h"
#include "layout.h"
#include "workspace.h"

namespace sorvane::win32 {

// Sorvane's one window on Windows, built from the shared description of its controls with the
// common controls. It turns each event into a command of the core and shows what the workspace
// holds; it decides nothing about the data.
//
// Every control that takes the focus is a child of the window itself (a toolbar of its band
// container, which lets the dialog keys into it), stacked in tab order, so that the dialog
// manager's Tab and Shift+Tab follow the design's tab order.
class Principal : private core::WindowPort {
public:
    /// The window, not yet shown; a null clipboard gives the system's.
    explicit Principal(core::Clipboard* clipboard = nullptr);
    ~Principal() override;
    Principal(const Principal&) = delete;
    Principal& operator=(const Principal&) = delete;

    /// Shows the window as `showCommand` says, with the focus on the first control in tab order.
    void show(int showCommand);

    /// The window.
    HWND hwnd() const { return hwnd_; }

    /// The window of a control, by its name in the design: a toolbar's is the toolbar itself.
    HWND control(form::ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }

    /// The number that a control's notifications and commands carry.
    static int controlNumber(form::ControlId id);

    /// Everything the window shows of the data.
    const core::Workspace& workspace() const { return workspace_; }

private:
    static LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l);
    static LRESULT CALLBACK toolbarProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l);
    static LRESULT CALLBACK bandContainerProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);

    // Building the window.
    void createControls();
    HWND create(const form::Control& control);
    void createToolbar(const form::Control& control, HWND toolbar);
    void loadStep();

    // Following the screen.
    void makeDpiResources();
    void applyFonts();
    void fitBands();
    // The controls' places for the window's present size, in twips.
    void computeLayout();
    // Moves the controls to their places for the window's present size.
    void layOut();
    // Gives the window the outer rectangle `outer`, and lays its controls out for it once.
    void place(const RECT& outer, UINT flags);
    // Where a control's window stands in the window, in pixels.
    RECT pixelRect(form::ControlId id) const;
    int pixels(double twips) const;
    void onDpiChanged(UINT dpi, const RECT& suggested);

    // Events.
    void onCommand(int number);
    LRESULT onNotify(NMHDR& header);
    void onCellText(core::ListId list, LVITEMW& item);
    void onTooltip(int number, wchar_t* text, int room);
    LRESULT onTextColour(HDC dc, HWND part);
    bool onSetCursor();
    void compare();
    void showInstructions();

    // core::WindowPort
    void setPointer(core::Pointer pointer) override;
    core::Answer askRetry(const std::string& report) override;
    void showWorkspace() override;
    void showRefusal(const std::string& text) override;

    // Each returns whether the control changed.
    bool showList(core::ListId id);
    bool showCount(core::ListId id);
    bool refillChoosers(core::Side side);
    void addColumn(HWND view, std::size_t index);

    std::unique_ptr<core::Clipboard> ownClipboard_;
    core::Workspace workspace_;
    core::Commands commands_;
    AccessibleNames names_;

    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    form::Geometry geometry_;  // every control's rectangle, in twips
    std::array<HWND, form::kControlCount> controls_{};
    std::array<FontHandle, 4> fonts_;  // by form::FontId
    ImageListHandle pictures_;
    HWND tooltip_ = nullptr;  // the toolbars' tooltip, which the window owns
    // The parts of the column choosers that ask for their colours: their edit fields and lists.
    std::vector<std::pair<HWND, form::ControlId>> chooserParts_;
    HWND focus_ = nullptr;  // the control that had the focus when the window was last left

    // What the list views show: each list as it was shown last, which keeps its records alive
    // until the next refresh, and the columns each view has.
    std::array<core::RecordList, 6> shown_;
    std::array<std::size_t, 6> viewColumns_{};
    std::array<std::string, 6> counts_;
    std::array<std::uint64_t, 2> chooserRevisions_{};
    bool busy_ = false;
    bool built_ = false;  // every control made
};

/// Runs the message loop until the window `main` closes, with the dialog keys in it: Tab and
/// Shift+Tab through its controls, and Alt with an access key. Returns the exit code.
int runMessageLoop(HWND main);

}  // namespace sorvane::win32
