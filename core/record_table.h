#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "huge_vector.h"
#include "portable.h"
#include "text_buffer.h"

namespace sorvane::core {

class RecordReader;

// Rows of text cells, built once by RecordReader and then only read.
//
// The text lives in one buffer: each row is its cells joined by TAB, rows in order, so a
// million rows cost their text plus one offset each, of four bytes for a text under 4 GiB. No
// cell can hold a TAB, CR or LF (the reader splits at the first two and drops the third), which
// keeps a row self-delimiting.
class RecordTable {
public:
    /// An empty table.
    RecordTable() = default;

    /// Number of rows.
    std::size_t rowCount() const {
        const std::size_t entries = narrow_ ? start32_.size() : start64_.size();
        return entries == 0 ? 0 : entries - 1;
    }

    /// Most cells any row received (0 for an empty table).
    std::size_t widestRow() const { return widest_; }

    /// Row r (0-based) as its cells joined by TAB.
    std::string_view row(std::size_t r) const {
        const char* const begin = text_.data() + startOf(r);
        const char* const end = beforeLineEnds(begin, text_.data() + startOf(r + 1));
        return {begin, static_cast<std::size_t>(end - begin)};
    }

    /// Bytes from where row r starts to where the next one does: the row, and any line ends
    /// after it. Reads no text.
    std::size_t rowSpan(std::size_t r) const { return startOf(r + 1) - startOf(r); }

    /// Cell c (0-based) of row r; empty when the row received fewer cells.
    std::string_view cell(std::size_t r, std::size_t c) const;

    /// Asks the processor to fetch where row r starts, ahead of a row() call that would wait for
    /// it; for loops that visit rows out of order.
    ///
    /// The prefetches are always inlined: GCC takes a prefetch to have no effect, so a call to
    /// an out-of-line function that only prefetches is dropped as useless, prefetch and all.
    SORVANE_ALWAYS_INLINE void prefetchRowStart(std::size_t r) const {
        if (narrow_) {
            SORVANE_PREFETCH(&start32_[r]);
        } else {
            SORVANE_PREFETCH(&start64_[r]);
        }
    }

    /// Asks the processor to fetch the first two cache lines of row r: a row of ten cells seldom
    /// fits in one.
    SORVANE_ALWAYS_INLINE void prefetchRowText(std::size_t r) const {
        const char* begin = text_.data() + startOf(r);
        SORVANE_PREFETCH(begin);
        SORVANE_PREFETCH(begin + 64);
    }

    /// Bytes of text held, which bounds the text of any set of distinct rows.
    std::size_t textSize() const { return text_.size(); }

    /// Bytes held, for memory accounting.
    std::size_t memoryBytes() const;

private:
    friend class RecordReader;

    // Rows of more than this many cells keep the start of every stride-th cell, so a cell far to
    // the right of a very wide row is found without scanning the whole row.
    static constexpr std::size_t kCheckpointStride = 64;

    // The most bytes between two rows: a row that would stand further from the one before moves
    // down to it, so finding where a row ends looks back over a few bytes at most.
    static constexpr std::size_t kMaxGap = 64;

    // Rows read where they stand keep their line ends between them, so text with CR or CR LF
    // line ends is read without moving a byte. Between two rows stand only CRs and LFs, which no
    // cell holds, so where a row ends follows from where the next one starts: entry r is where
    // row r starts, and the last entry where the last row ends.
    std::size_t startOf(std::size_t entry) const {
        return narrow_ ? start32_[entry] : static_cast<std::size_t>(start64_[entry]);
    }

    // Where the text before `end` stops without the line ends standing just before it, looking
    // back no further than `floor`.
    static const char* beforeLineEnds(const char* floor, const char* end) {
        while (end > floor && (end[-1] == '\r' || end[-1] == '\n')) --end;
        return end;
    }

    TextBuffer text_;
    bool narrow_ = true;                      // whether the entries are in start32_ or start64_
    HugeVector<std::uint32_t> start32_;       // rowCount() + 1 entries for a text under 4 GiB
    HugeVector<std::uint64_t> start64_;       // or for a longer one
    std::vector<std::uint32_t> wideRows_;     // ascending row numbers that have checkpoints
    std::vector<std::uint64_t> wideFirst_;    // per wide row: its first entry in checkpoints_
    std::vector<std::uint64_t> checkpoints_;  // offset within the row of cell k * stride, k >= 1
    std::size_t widest_ = 0;
};

}  // namespace sorvane::core
