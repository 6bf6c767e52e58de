#pragma once

#include <string>
#include <string_view>

namespace sorvane::win32 {

// Text crosses between the core's UTF-8 and the wide (UTF-16) Windows API only here and where a
// cell or the clipboard is converted in place.

/// The wide text of UTF-8 text; each invalid sequence becomes U+FFFD.
std::wstring wide(std::string_view utf8);

/// The UTF-8 text of wide text; an unpaired surrogate becomes U+FFFD.
std::string utf8(std::wstring_view text);

}  // namespace sorvane::win32
