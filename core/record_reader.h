#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "record_table.h"
#include "text_scan.h"

namespace sorvane::core {

// Reads clipboard text of records: TAB ends a cell, CR ends a cell and its row, LF is dropped
// wherever it stands (or, in text whose lone LFs end rows, ends a row where it follows no CR),
// every other character belongs to its cell unchanged. A row begun at the
// very end of the text (a cell stored, or any character gathered) ends there as if a CR
// followed, so a copy without a final line break keeps its last row.
//
// The text becomes the table in place, so reading needs no second copy; rows move only to drop
// the LFs inside them, and a text that others read too is copied only then.
// Reading can fail only for lack of memory; it fails between rows, so a failed read() keeps
// every row read so far and a later read() goes on from the row that failed.
class RecordReader {
public:
    /// Takes the text to read; does no work and cannot fail beyond the move. A text of at most
    /// `narrowUpTo` bytes (and under 4 GiB) keeps each row's start in four bytes, a longer one in
    /// eight; tests lower it to read through both.
    explicit RecordReader(TextBuffer text, std::size_t narrowUpTo = SIZE_MAX) noexcept;

    /// Reads the rest of the text.
    void read();

    /// Whether the whole text has been read.
    bool done() const { return pos_ >= end_; }

    /// Number of rows read so far.
    std::size_t rowCount() const { return table_.rowCount(); }

    /// Most cells in any row read so far.
    std::size_t widestRow() const { return table_.widest_; }

    /// The rows read so far as a table; the reader is left empty.
    RecordTable take();

private:
    void readRow(const RowScan& scan);
    // Calls f with the table's row starts, in whichever width they are kept.
    template <typename F>
    void withEntries(F&& f);

    RecordTable table_;
    std::size_t pos_ = 0;    // next unread character
    std::size_t end_ = 0;    // length of the text
    std::size_t write_ = 0;  // where the rows read so far end
    bool moved_ = false;     // whether the last row read moved down
    bool loneLfEndsRow_;     // whether an LF that follows no CR ends a row
};

/// Reads a whole text into a table.
RecordTable readRecords(TextBuffer text);

}  // namespace sorvane::core
