#include "principal.h"

#include <gtest/gtest.h>

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
    // Compare stands where the design puts it, 4560 by 240 twips: 304 by 16 pixels at 96 dpi.
    const UINT dpi = GetDpiForWindow(window_.hwnd());
    const RECT before = placeOf(ControlId::Command1);
    EXPECT_EQ(before.left, MulDiv(304, static_cast<int>(dpi), 96));
    EXPECT_EQ(before.top, MulDiv(16, static_cast<int>(dpi), 96));

    RECT outer{};
    GetWindowRect(window_.hwnd(), &outer);
    RECT suggested{outer.left, outer.top, outer.left + 2 * (outer.right - outer.left),
                   outer.top + 2 * (outer.bottom - outer.top)};
    SendMessageW(window_.hwnd(), WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    const RECT after = placeOf(ControlId::Command1);
    EXPECT_EQ(after.left, 2 * before.left);
    EXPECT_EQ(after.top, 2 * before.top);
    EXPECT_EQ(after.right - after.left, 2 * (before.right - before.left));
}

}  // namespace
}  // namespace sorvane::win32
