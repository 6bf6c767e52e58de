#include "principal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "controls.h"
#include "fakes.h"

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

LONG pixelsAt(double twips, UINT dpi) { return static_cast<LONG>(std::lround(twips * dpi / 1440)); }

TEST_F(PrincipalTest, TheChoosersStartWithNoEntriesAndNoTextAtTheDesignsHeight) {
    const UINT dpi = GetDpiForWindow(window_.hwnd());
    for (const core::Side side : {core::Side::List1, core::Side::List2}) {
        for (int row = 0; row < form::kComparisonRows; ++row) {
            const HWND combo = window_.control(form::chooser(side, row));
            EXPECT_EQ(GetWindowTextLengthW(combo), 0);
            EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);
            RECT r{};
            GetWindowRect(combo, &r);
            EXPECT_EQ(r.bottom - r.top, pixelsAt(330, dpi));
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
    RECT chooser{};
    GetWindowRect(window_.control(ControlId::Combo2_3), &chooser);
    EXPECT_EQ(chooser.bottom - chooser.top, pixelsAt(330, 2 * dpi));
}

// A window with a clipboard and message boxes of the test's own.
class FakedPrincipalTest : public ::testing::Test {
protected:
    class FakeMessages : public Messages {
    public:
        std::vector<core::Message> shown;
        core::Answer show(HWND, core::Message kind, const std::string&) override {
            shown.push_back(kind);
            return core::Answer::Cancel;
        }
    };

    void press(ControlId id) {
        SendMessageW(window_.hwnd(), WM_COMMAND,
                     MAKEWPARAM(Principal::controlNumber(id), BN_CLICKED),
                     reinterpret_cast<LPARAM>(window_.control(id)));
    }
    int itemCount(ControlId id) {
        return static_cast<int>(SendMessageW(window_.control(id), LVM_GETITEMCOUNT, 0, 0));
    }
    std::wstring text(ControlId id) {
        wchar_t buffer[64] = {};
        GetWindowTextW(window_.control(id), buffer, 64);
        return buffer;
    }

    core::testing::FakeClipboard clipboard_;
    FakeMessages messages_;
    Principal window_{&clipboard_, &messages_};
};

// A paste whose read fails and is cancelled leaves the list and its count as they were.
TEST_F(FakedPrincipalTest, ACancelledPasteLosesNothing) {
    clipboard_.content = "a\tb\rc\r";
    press(ControlId::Toolbar1);
    EXPECT_EQ(itemCount(ControlId::ListView1), 2);
    clipboard_.failReads = 1;
    press(ControlId::Toolbar1);
    EXPECT_EQ(messages_.shown, (std::vector<core::Message>{core::Message::ErrorReport}));
    EXPECT_EQ(itemCount(ControlId::ListView1), 2);
    EXPECT_EQ(text(ControlId::Label11), L"2 records.");
    EXPECT_EQ(SendMessageW(window_.control(ControlId::Combo1_0), CB_GETCOUNT, 0, 0), 2);
}

TEST_F(FakedPrincipalTest, TypingInAListMovesToTheNextRecordThatStartsWithIt) {
    clipboard_.content = "apple\rBanana\rband\r";
    press(ControlId::Toolbar1);
    const HWND view = window_.control(ControlId::ListView1);
    SetFocus(view);
    SendMessageW(view, WM_CHAR, L'b', 1);  // typed once
    EXPECT_EQ(SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);
    SendMessageW(view, WM_CHAR, L'z', 1);  // "bz": nothing starts with it, the focus stays
    EXPECT_EQ(SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);
}

TEST(PrincipalStartTest, AWindowClassThatIsNotItsOwnEndsTheStartWithWhatFailed) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    UnregisterClassW(Principal::kWindowClass, instance);
    WNDCLASSEXW other{};
    other.cbSize = sizeof(other);
    other.lpfnWndProc = DefWindowProcW;
    other.hInstance = instance;
    other.lpszClassName = Principal::kWindowClass;
    ASSERT_NE(RegisterClassExW(&other), 0);
    try {
        Principal window;
        ADD_FAILURE() << "the window was made";
    } catch (const StartupError& e) {
        EXPECT_NE(std::string(e.what()).find("could not register its window class"),
                  std::string::npos);
    }
    UnregisterClassW(Principal::kWindowClass, instance);
}

}  // namespace
}  // namespace sorvane::win32
