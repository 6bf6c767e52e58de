#include "win32_clipboard.h"

#include <algorithm>
#include <cwchar>

#include "clipboard_text.h"
#include "handles.h"
#include "step_runner.h"
#include "wide_text.h"

namespace sorvane::win32 {
namespace {

// The system's description of an error, without the line end and full stop that it ends with
// (the error report adds its own).
std::string describe(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring_view message(text, length);
    while (!message.empty() && (std::iswspace(message.back()) || message.back() == L'.')) {
        message.remove_suffix(1);
    }
    std::string described = utf8(message);
    LocalFree(text);
    if (described.empty()) described = "System error " + std::to_string(code);
    return described;
}

// The failure of the system call just made, as its error number and description.
[[noreturn]] void failWithLastError() {
    const DWORD code = GetLastError();
    throw core::StepError(static_cast<std::int32_t>(code), describe(code));
}

// The clipboard, open while this lives.
class OpenClipboardGuard {
public:
    explicit OpenClipboardGuard(HWND owner) {
        if (!OpenClipboard(owner)) failWithLastError();
    }
    ~OpenClipboardGuard() { CloseClipboard(); }
    OpenClipboardGuard(const OpenClipboardGuard&) = delete;
    OpenClipboardGuard& operator=(const OpenClipboardGuard&) = delete;
};

}  // namespace

Win32Clipboard::Win32Clipboard()
    : owner_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr)) {}

Win32Clipboard::~Win32Clipboard() {
    if (owner_ != nullptr) DestroyWindow(owner_);
}

core::TextBuffer Win32Clipboard::text() {
    core::TextBuffer records = readText();
    // Wine keeps the UTF-16 text it handed over in this process (for ASCII, twice the size of
    // the list made of it) until the clipboard is next opened while another program owns it.
    // Opening it once more lets that block go now, while the list is worked on, not at the next
    // paste. Where nothing is kept, as when this program owns the clipboard, the second opening
    // is all it costs.
    if (OpenClipboard(owner_)) CloseClipboard();
    return records;
}

core::TextBuffer Win32Clipboard::readText() {
    OpenClipboardGuard open(owner_);
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return {};
    SetLastError(0);
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) {
        // Offered, yet not handed over: under Wine, the X program that owns the clipboard did
        // not send its text in time, or went away.
        if (GetLastError() != 0) failWithLastError();
        throw core::textNotSent(core::NotSent::kUnknown);
    }
    GlobalLockGuard lock(data);
    if (lock.data() == nullptr) failWithLastError();
    // The block may be larger than its text, and hold bytes past the NUL that ends it.
    const auto* units = static_cast<const char16_t*>(lock.data());
    const std::size_t room = GlobalSize(data) / sizeof(char16_t);
    const std::size_t length = std::find(units, units + room, u'\0') - units;
    return recordsText(std::u16string_view(units, length));
}

core::TextBuffer Win32Clipboard::recordsText(std::u16string_view text) {
    return core::recordsTextOfUtf16(text);
}

void Win32Clipboard::clear() {
    OpenClipboardGuard open(owner_);
    if (!EmptyClipboard()) failWithLastError();
}

void Win32Clipboard::setText(const std::string& text) { putUtf8(text); }

void Win32Clipboard::putText(std::size_t length) { putUtf8(std::string_view(room(), length)); }

void Win32Clipboard::putUtf8(std::string_view text) {
    const std::size_t units = core::utf16Length(text);
    GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, (units + 1) * sizeof(char16_t)));
    if (!block) failWithLastError();
    {
        GlobalLockGuard lock(block.get());
        if (lock.data() == nullptr) failWithLastError();
        auto* out = static_cast<char16_t*>(lock.data());
        core::writeUtf16(text, out);
        out[units] = u'\0';
    }
    handOver(block.get());
    block.release();  // the clipboard's now
}

void Win32Clipboard::handOver(HGLOBAL block) {
    OpenClipboardGuard open(owner_);
    // Emptied in the same opening, so that the text is this program's alone, with no format of
    // the clipboard's earlier owner beside it.
    if (!EmptyClipboard()) failWithLastError();
    if (SetClipboardData(CF_UNICODETEXT, block) == nullptr) failWithLastError();
}

}  // namespace sorvane::win32
