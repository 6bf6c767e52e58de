#include "principal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "controls.h"

namespace sorvane::win32 {
namespace {

using form::ControlId;

// The window as the program makes it, not shown: what the dialog keys and the layout rely on
// holds without a screen.
class PrincipalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window_.hwnd(), nullptr);
        for (const form::Control& c : form::controls()) ASSERT_NE(window_.control(c.id), nullptr);
    }

    // A control's rectangle in the window's client area, in pixels.
    RECT placeOf(ControlId id) const {
        RECT r{};
        GetWindowRect(window_.control(id), &r);
        MapWindowPoints(nullptr, window_.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    Principal window_;
};

TEST_F(PrincipalTest, TabGoesThroughTheControlsInTheDesignsTabOrder) {
    // The dialog manager's own walk, as Tab takes it from the first control: every control of
    // the tab order in turn (a toolbar inside its band container), then round again.
    std::vector<ControlId> visited;
    HWND at = window_.control(form::tabOrder().front());
    for (std::size_t k = 0; k <= form::tabOrder().size(); ++k) {
        for (const form::Control& c : form::controls()) {
            if (window_.control(c.id) == at) visited.push_back(c.id);
        }
        at = GetNextDlgTabItem(window_.hwnd(), at, FALSE);
    }
    std::vector<ControlId> expected(form::tabOrder().begin(), form::tabOrder().end());
    expected.push_back(form::tabOrder().front());
    EXPECT_EQ(visited, expected);
}

TEST_F(PrincipalTest, TheChoosersStartWithNoEntriesAndNoText) {
    for (const core::Side side : {core::Side::List1, core::Side::List2}) {
        for (int row = 0; row < 4; ++row) {
            const HWND combo = window_.control(form::chooser(side, row));
            EXPECT_EQ(GetWindowTextLengthW(combo), 0);
            EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);
        }
    }
}

TEST_F(PrincipalTest, ADpiChangeLaysTheControlsOutAtTheNewDpi) {
    // Compare stands where the design puts it, 4560 by 240 twips, 1335 wide: at 96 dpi 304 by
    // 16 pixels, 89 wide; each edge is rounded to the pixel at the window's DPI.
    const auto expected = [](UINT dpi) {
        const auto at = [dpi](double twips) {
            return static_cast<LONG>(std::lround(twips * dpi / 1440));
        };
        return RECT{at(4560), at(240), at(4560 + 1335), at(240 + 495)};
    };
    const UINT dpi = GetDpiForWindow(window_.hwnd());
    const RECT before = placeOf(ControlId::Command1);
    EXPECT_EQ(before.left, expected(dpi).left);
    EXPECT_EQ(before.top, expected(dpi).top);
    EXPECT_EQ(before.right, expected(dpi).right);

    RECT outer{};
    GetWindowRect(window_.hwnd(), &outer);
    RECT suggested{outer.left, outer.top, outer.left + 2 * (outer.right - outer.left),
                   outer.top + 2 * (outer.bottom - outer.top)};
    SendMessageW(window_.hwnd(), WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    const RECT after = placeOf(ControlId::Command1);
    EXPECT_EQ(after.left, expected(2 * dpi).left);
    EXPECT_EQ(after.top, expected(2 * dpi).top);
    EXPECT_EQ(after.right, expected(2 * dpi).right);
    EXPECT_EQ(after.bottom, expected(2 * dpi).bottom);
}

}  // namespace
}  // namespace sorvane::win32
