#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text_buffer.h"

namespace sorvane::core {

// Clipboard text on its way into the core, whichever platform it came from, and cells on their
// way out to a platform that shows and copies text as UTF-16.

/// The text of records in bytes that a clipboard handed over as UTF-8: without a leading byte
/// order mark, each invalid sequence replaced by U+FFFD, and read with every line end of the
/// platform ending a row (normalizeLineEnds tells which). Valid bytes, which is nearly always,
/// stay where they are and, unless an LF stands inside a quoted cell, as they are; only text
/// with invalid sequences moves into a new buffer.
TextBuffer recordsTextOfUtf8(TextBuffer bytes);

/// The same of UTF-16 text, as Windows' clipboard holds it; an unpaired surrogate becomes
/// U+FFFD.
TextBuffer recordsTextOfUtf16(std::u16string_view text);

/// UTF-8 bytes as the core keeps text: without a leading byte order mark, each invalid sequence
/// replaced by U+FFFD. Valid bytes stay where they are.
TextBuffer validUtf8(TextBuffer bytes);

/// UTF-8 of UTF-16 text without its leading byte order mark; an unpaired surrogate becomes
/// U+FFFD.
TextBuffer utf8OfUtf16(std::u16string_view text);

/// UTF-16 of UTF-8 text; each invalid sequence becomes U+FFFD.
std::u16string utf16Of(std::string_view utf8);

/// The UTF-16 code units that utf16Of(utf8) gives, counted without making them.
std::size_t utf16Length(std::string_view utf8);

/// Writes utf16Of(utf8) at `out`, which has room for utf16Length(utf8) units; returns the
/// number written.
std::size_t writeUtf16(std::string_view utf8, char16_t* out);

}  // namespace sorvane::core
