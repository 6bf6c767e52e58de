#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "accessible_names.h"
#include "controls.h"
#include "handles.h"
#include "layout.h"

namespace sorvane::win32 {

class RecordViews;

// Every control of the window, made from the shared description with the common controls, with
// the fonts and pictures they show at the window's DPI, and placed where the layout puts them.
//
// Every control that takes the focus is a child of the window itself (a toolbar of its band
// container, which lets the dialog keys into it), stacked in tab order, so that the dialog
// manager's Tab and Shift+Tab follow the design's tab order.
class WindowControls {
public:
    /// The number that a control's notifications and commands carry.
    static int controlNumber(form::ControlId id);
    /// The control whose number `number` is; none for other numbers.
    static std::optional<form::ControlId> controlOfNumber(int number);

    /// Makes every control in `window`, at `dpi`, where the layout for the window's present
    /// size puts it; the list views are handed to `views`. Returns whether every one was made.
    bool create(HWND window, UINT dpi, RecordViews& views);

    /// The window of a control: a toolbar's is the toolbar itself.
    HWND operator[](form::ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }

    /// Moves the controls to their places for the window's present size.
    void layOut();

    /// Takes a new DPI: the controls get fonts and pictures made for it, and then the old ones go.
    void changeDpi(UINT dpi);

    /// The DPI the controls are made for.
    UINT dpi() const { return dpi_; }

    /// Twips in pixels at the window's DPI.
    int pixels(double twips) const;

    /// The control whose text `part` draws: a column chooser's edit field or list, or a control
    /// itself; none for a window that is no part of a control.
    std::optional<form::ControlId> ownerOf(HWND part) const;

    /// The names a screen reader says.
    AccessibleNames& names() { return names_; }

private:
    HWND create(const form::Control& control, RecordViews& views);
    void createToolbar(const form::Control& control, HWND toolbar);
    void applyResources();
    void fitChoosers();
    void computeLayout();
    RECT pixelRect(form::ControlId id) const;

    HWND window_ = nullptr;
    UINT dpi_ = 96;
    form::Geometry geometry_;  // every control's rectangle, in twips
    std::array<HWND, form::kControlCount> controls_{};
    std::array<FontHandle, 4> fonts_;  // by form::FontId
    ImageListHandle pictures_;
    HWND tooltip_ = nullptr;  // the toolbars' tooltip, which the window owns
    // The parts of the column choosers that ask for their colours: their edit fields and lists.
    std::vector<std::pair<HWND, form::ControlId>> chooserParts_;
    AccessibleNames names_;
    bool built_ = false;  // every control made
};

}  // namespace sorvane::win32
