#pragma once

#include <map>
#include <string>

namespace sorvane::ui {

/// A control's rectangle in twips (15 to a device-independent pixel), relative to the client
/// area of its container. Values may be fractional; the window rounds them to pixels.
struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const TwipRect&) const = default;
};

/// Rectangles of the window's controls, by control name.
using Geometry = std::map<std::string, TwipRect>;

/// The window's client area when created, in twips.
constexpr double kClientWidth = 19080;
constexpr double kClientHeight = 11175;

/// What the outer size adds to the client area: the reference window's borders and title bar.
/// Laying out from client size plus these makes the layout the same under any window manager.
constexpr double kBorderWidth = 90;
constexpr double kBorderHeight = 480;

/// Every visible control as the window is designed, before any resize.
Geometry designGeometry();

/// The layout step for an outer size W x H in twips: widths and lefts follow W when W > 1000,
/// heights and tops follow H when H > 4300; everything else keeps its rectangle.
void layOut(Geometry& geometry, double outerWidth, double outerHeight);

}  // namespace sorvane::ui
