#pragma once

#include <cstddef>
#include <string_view>

namespace sorvane::core {

// Scans of clipboard text, sixteen bytes at a time where the processor allows: the reader and the
// writer look at every byte of a million rows, and a byte at a time would be most of their time.

/// How many times `ch` occurs in `text`.
std::size_t countOf(std::string_view text, char ch);

/// One row of clipboard text as the reader finds it.
struct RowScan {
    std::size_t end;        ///< position of the CR (or LF) that ends the row, or the text's size
    std::size_t tabs;       ///< TABs before `end`
    std::size_t lineFeeds;  ///< LFs before `end`
};

/// Scans `text` from `from` to the next CR, or the next CR or LF where `lineFeedEndsRow`,
/// counting the TABs and LFs on the way.
RowScan scanRow(std::string_view text, std::size_t from, bool lineFeedEndsRow = false);

/// What the writer needs to know of a stored row before it copies it.
struct RowMarks {
    std::size_t tabs;  ///< TABs in the row: it has tabs + 1 cells
    bool spaces;       ///< whether any space stands in it, so that a cell may need trimming
};

/// Copies `row` to `out`, which has room for it, and tells its TABs and spaces: one pass over
/// each row for the writer, which mostly copies rows as they stand. Nothing past the copy is
/// written.
RowMarks copyRow(std::string_view row, char* out);

}  // namespace sorvane::core
