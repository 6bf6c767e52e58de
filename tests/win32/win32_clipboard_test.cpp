#include "win32_clipboard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "step_runner.h"

namespace sorvane::win32 {
namespace {

// The clipboard is the system's: each test opens it as another program would, to put there or
// read what that program would.
class Win32ClipboardTest : public ::testing::Test {
protected:
    // Puts UTF-16 units on the clipboard as another program does, NUL and all.
    static void putUtf16(const char16_t* units, std::size_t count) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, count * sizeof(char16_t));
        ASSERT_NE(block, nullptr);
        std::memcpy(GlobalLock(block), units, count * sizeof(char16_t));
        GlobalUnlock(block);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        ASSERT_NE(SetClipboardData(CF_UNICODETEXT, block), nullptr);
        CloseClipboard();
    }

    // The clipboard's CF_UNICODETEXT as another program reads it, up to its NUL.
    static std::u16string unicodeText() {
        std::u16string text;
        if (!OpenClipboard(nullptr)) return u"(not opened)";
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const char16_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    }

    static void empty() {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        CloseClipboard();
    }

    Win32Clipboard clipboard_;
};

TEST_F(Win32ClipboardTest, CopiedRecordsArriveAsUtf16AndReadBackAsTheyWere) {
    // Accents, a character outside the Basic Multilingual Plane (two UTF-16 units) and a CJK
    // cell, in rows ended by CR as the core writes them.
    const std::string records = "\xc3\x85sa\tna\xc3\xafve\r\xf0\x9f\x98\x80\tZo\xc3\xab\r\xe4\xb8\xad\r";
    std::memcpy(clipboard_.textRoom(records.size()), records.data(), records.size());
    clipboard_.putText(records.size());

    EXPECT_EQ(unicodeText(), u"\u00c5sa\tna\u00efve\r\U0001F600\tZo\u00eb\r\u4e2d\r");
    EXPECT_EQ(clipboard_.text().view(), records);
}

TEST_F(Win32ClipboardTest, AnotherProgramsTextIsReadUpToItsNulWithLineFeedsAsRowEnds) {
    const char16_t text[] = u"Ann\t12\nBob\t\U0001F600\r\n\0left over";
    putUtf16(text, std::size(text));
    const core::TextBuffer read = clipboard_.text();
    EXPECT_EQ(read.view(), "Ann\t12\nBob\t\xf0\x9f\x98\x80\r\n");
    EXPECT_TRUE(read.loneLfEndsRow());
}

TEST_F(Win32ClipboardTest, NoTextReadsAsEmpty) {
    empty();
    EXPECT_TRUE(clipboard_.text().empty());

    // Something that is not text is no text either.
    const UINT format = RegisterClipboardFormatW(L"Sorvane test picture");
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(format, block);
    CloseClipboard();
    EXPECT_TRUE(clipboard_.text().empty());
}

TEST_F(Win32ClipboardTest, ClearEmptiesTheClipboard) {
    const char16_t text[] = u"keep?\r";
    putUtf16(text, std::size(text));
    ASSERT_EQ(unicodeText(), u"keep?\r");
    clipboard_.clear();
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_TRUE(clipboard_.text().empty());
}

// A program that copied text and sends it only when asked for it, as a spreadsheet does: after
// `delayMs`, or, when it never renders, not until the test lets it go, and then nothing.
class LateOwner {
public:
    LateOwner(DWORD delayMs, bool renders) : delayMs_(delayMs), renders_(renders) {
        thread_ = std::thread([this] { run(); });
        WaitForSingleObject(ready_, INFINITE);
    }
    ~LateOwner() {
        letGo();
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    LateOwner(const LateOwner&) = delete;
    LateOwner& operator=(const LateOwner&) = delete;

    /// Lets an owner that never renders return from the request it holds.
    void letGo() { SetEvent(release_); }

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<LateOwner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_RENDERFORMAT && self != nullptr) {
            if (!self->renders_) {
                WaitForSingleObject(self->release_, INFINITE);
                return 0;
            }
            Sleep(self->delayMs_);
            const char16_t text[] = u"late\tx\r";
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
            std::memcpy(GlobalLock(block), text, sizeof(text));
            GlobalUnlock(block);
            SetClipboardData(CF_UNICODETEXT, block);
            return 0;
        }
        if (message == WM_RENDERALLFORMATS) return 0;
        return DefWindowProcW(hwnd, message, w, l);
    }

    void run() {
        threadId_ = GetCurrentThreadId();
        WNDCLASSW wc{};
        wc.lpfnWndProc = &procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Sorvane.LateOwner";
        RegisterClassW(&wc);
        HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        OpenClipboard(window);
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, nullptr);  // rendered when asked for
        CloseClipboard();
        SetEvent(ready_);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }

    DWORD delayMs_;
    bool renders_;
    HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD threadId_ = 0;
    std::thread thread_;
};

int ticks = 0;
void CALLBACK countTick(HWND, UINT, UINT_PTR, DWORD) { ++ticks; }

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The program that copied a million rows takes seconds to send them; the window goes on
// answering its messages (here a timer's) meanwhile, and then pastes the text.
TEST_F(Win32ClipboardTest, ATextSentLateArrivesWhileTheWindowAnswers) {
    LateOwner owner(3000, true);
    ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &countTick);
    const core::TextBuffer read = clipboard_.text();
    KillTimer(nullptr, timer);
    EXPECT_EQ(read.view(), "late\tx\r");
    EXPECT_GE(ticks, 15);
}

// A program that never sends its text ends the read at the limit with the report's reason; a
// second read (Retry) waits again; once that program lets go, the clipboard is free again.
TEST_F(Win32ClipboardTest, ATextNeverSentEndsEachReadAtTheLimitAndLeavesTheClipboardFree) {
    Win32Clipboard quick(500);
    LateOwner owner(0, false);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto start = std::chrono::steady_clock::now();
        try {
            quick.text();
            ADD_FAILURE() << "a text that never came was read";
        } catch (const core::StepError& e) {
            EXPECT_EQ(e.number(), core::kTextNotSent);
            EXPECT_NE(std::string(e.what()).find("did not answer in time"), std::string::npos) << e.what();
        }
        EXPECT_GE(secondsSince(start), 0.45);
    }
    owner.letGo();
    bool opened = false;
    for (int k = 0; k < 50 && !opened; ++k) {
        opened = OpenClipboard(nullptr);
        if (!opened) Sleep(100);
    }
    EXPECT_TRUE(opened);
    if (opened) CloseClipboard();
}

}  // namespace
}  // namespace sorvane::win32
