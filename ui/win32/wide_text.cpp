#include "wide_text.h"

#include <windows.h>

#include <climits>

#include "clipboard_text.h"

namespace sorvane::win32 {

std::wstring wide(std::string_view text) {
    // wchar_t is a UTF-16 code unit on Windows, so the core's UTF-16 is the API's as it stands.
    std::wstring out(core::utf16Length(text), L'\0');
    core::writeUtf16(text, reinterpret_cast<char16_t*>(out.data()));
    return out;
}

std::string utf8(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr,
                                          nullptr);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace sorvane::win32
