#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "memory_advice.h"

namespace sorvane::core {

class RecordReader;

// Rows of text cells, built once by RecordReader and then only read.
//
// The text lives in one buffer: each row is its cells joined by TAB, rows in order, so a
// million rows cost their text plus one offset each. No cell can hold a TAB, CR or LF (the
// reader splits at the first two and drops the third), which keeps a row self-delimiting.
class RecordTable {
public:
    /// An empty table.
    RecordTable() = default;

    /// Number of rows.
    std::size_t rowCount() const { return rowStart_.empty() ? 0 : rowStart_.size() - 1; }

    /// Most cells any row received (0 for an empty table).
    std::size_t widestRow() const { return widest_; }

    /// Row r (0-based) as its cells joined by TAB.
    std::string_view row(std::size_t r) const {
        const std::uint64_t begin = rowStart_[r] & kOffsetMask;
        const std::uint64_t next = rowStart_[r + 1];
        return {text_.data() + begin, (next & kOffsetMask) - (next >> kGapShift) - begin};
    }

    /// Cell c (0-based) of row r; empty when the row received fewer cells.
    std::string_view cell(std::size_t r, std::size_t c) const;

    /// Asks the processor to fetch where row r starts, ahead of a row() call that would wait for
    /// it; for loops that visit rows out of order.
    void prefetchRowStart(std::size_t r) const { __builtin_prefetch(&rowStart_[r]); }

    /// Asks the processor to fetch the first two cache lines of row r: a row of ten cells seldom
    /// fits in one.
    void prefetchRowText(std::size_t r) const {
        const char* begin = text_.data() + (rowStart_[r] & kOffsetMask);
        __builtin_prefetch(begin);
        __builtin_prefetch(begin + 64);
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

    // Rows read where they stand keep their line ends between them, so text with CR or CR LF
    // line ends is read without moving a byte. Each entry of rowStart_ holds where a row's text
    // starts (low bits) and how many bytes before it belong to no row (high bits: the previous
    // row's line end and any LFs dropped there); the last entry is where the last row ends.
    static constexpr int kGapShift = 48;
    static constexpr std::uint64_t kOffsetMask = (std::uint64_t{1} << kGapShift) - 1;
    static constexpr std::uint64_t kMaxGap = (std::uint64_t{1} << (64 - kGapShift)) - 1;

    std::string text_;
    HugeVector<std::uint64_t> rowStart_;  // rowCount() + 1 entries
    std::vector<std::uint32_t> wideRows_;  // ascending row numbers that have checkpoints
    std::vector<std::uint64_t> wideFirst_; // per wide row: its first entry in checkpoints_
    std::vector<std::uint64_t> checkpoints_;  // offset within the row of cell k * stride, k >= 1
    std::size_t widest_ = 0;
};

}  // namespace sorvane::core
