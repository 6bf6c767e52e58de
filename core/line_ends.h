#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sorvane::core {

/// Makes every line end of the platform's clipboard text one that the record reader splits at:
/// an LF that no CR precedes becomes a CR, in place. CR LF and a lone CR stay as they are.
///
/// Linux and macOS clipboards end rows with LF alone, which the reader drops. A spreadsheet
/// writes a cell that holds a line break between double quotes, and an LF inside such a cell
/// is part of the cell, not a row end: it stays an LF, which the reader drops, so the cell
/// reads the same as it does from CR LF text. A quoted cell starts with a double quote where a
/// cell starts (at the start of the text or right after a TAB, CR or LF), takes two double
/// quotes in a row as one, and ends at a double quote followed by TAB, CR, LF or the end of the
/// text; a double quote followed by anything else, or none at all, means the cell was not
/// quoted. CR is never changed, also inside quotes. Runs in time linear in the text.
void normalizeLineEnds(char* text, std::size_t size);

/// The same, of a string.
inline std::string normalizeLineEnds(std::string text) {
    normalizeLineEnds(text.data(), text.size());
    return text;
}

/// Whether no LF stands inside a quoted cell of `text`, so that a reader which ends a row at
/// every LF that follows no CR, and drops one that follows a CR, reads `text` exactly as it
/// reads normalizeLineEnds(text): the text need not be rewritten.
bool lineFeedsEndRowsOnly(std::string_view text);

}  // namespace sorvane::core
