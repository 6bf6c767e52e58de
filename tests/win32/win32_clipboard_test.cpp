#include "win32_clipboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

}  // namespace
}  // namespace sorvane::win32
