#pragma once

#include <array>

#include "controls.h"

namespace sorvane::form {

/// Every control's rectangle, by control: a lookup that cannot miss.
class Geometry {
public:
    /// The rectangles as designed, before the window is first laid out.
    Geometry();

    TwipRect& operator[](ControlId id) { return rects_[static_cast<std::size_t>(id)]; }
    const TwipRect& operator[](ControlId id) const { return rects_[static_cast<std::size_t>(id)]; }

private:
    std::array<TwipRect, kControlCount> rects_;
};

/// What the reference window's borders and title bar add to its client area, in twips. A
/// toolkit that cannot tell the outer size the same way on every desktop lays out from its
/// client size plus these, so the layout does not depend on the window manager.
inline constexpr double kBorderWidth = 90;
inline constexpr double kBorderHeight = 480;

/// The layout step for an outer size W x H in twips: the wide frames, their lists, bands and
/// labels follow W when W > 1000; the frames' heights and tops and the lists' heights follow H
/// when H > 4300. Everything else keeps its rectangle, and a pass that is skipped keeps every
/// value it would set.
void layOut(Geometry& geometry, double outerWidth, double outerHeight);

}  // namespace sorvane::form
