#include "record_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "text_scan.h"

namespace sorvane::core {
namespace {

// Grows a vector's capacity ahead of a push_back, so that the push cannot throw once the row
// has been compacted over its own source text.
template <typename Vector>
void makeRoom(Vector& v, std::size_t extra) {
    if (v.capacity() - v.size() < extra) v.reserve(std::max(v.size() + extra, v.capacity() * 2));
}

}  // namespace

RecordReader::RecordReader(TextBuffer text, std::size_t narrowUpTo) noexcept
    : end_(text.size()), loneLfEndsRow_(text.loneLfEndsRow()) {
    table_.text_ = std::move(text);
    table_.narrow_ = end_ <= std::min<std::size_t>(narrowUpTo, UINT32_MAX);
}

template <typename F>
void RecordReader::withEntries(F&& f) {
    if (table_.narrow_) {
        f(table_.start32_);
    } else {
        f(table_.start64_);
    }
}

void RecordReader::read() {
    const std::string_view text(table_.text_.data(), end_);
    withEntries([&](auto& entries) {
        if (!entries.empty()) return;
        // One entry per row end, plus the start and a possible unterminated last row.
        std::size_t rowEnds = countOf(text, '\r');
        if (loneLfEndsRow_) rowEnds = std::max(rowEnds, countOf(text, '\n'));
        entries.reserve(rowEnds + 2);
        entries.push_back(0);  // where the rows read so far end
    });
    while (pos_ < end_) {
        // Where the text stands now: a row that moves makes a shared text the reader's own.
        const std::string_view now(table_.text_.data(), end_);
        // The LF of a CR LF ends no row of its own.
        if (loneLfEndsRow_ && pos_ > 0 && now[pos_] == '\n' && now[pos_ - 1] == '\r') {
            ++pos_;
            continue;
        }
        readRow(scanRow(now, pos_, loneLfEndsRow_));
    }
}

void RecordReader::readRow(const RowScan& scan) {
    const char* base = table_.text_.data();
    const bool atEnd = scan.end == end_;
    std::size_t begin = pos_;
    while (begin < scan.end && base[begin] == '\n') ++begin;  // the LF of a CR LF, say
    if (atEnd && begin == end_) {
        pos_ = end_;  // only dropped line feeds remain: no row has begun
        return;
    }
    const std::size_t lineFeeds = scan.lineFeeds - (begin - pos_);

    // Everything that can fail happens before the row is compacted over its own source.
    const std::size_t cells = scan.tabs + 1;
    const bool wide = cells > RecordTable::kCheckpointStride;
    withEntries([](auto& entries) { makeRoom(entries, 1); });
    if (wide) {
        makeRoom(table_.wideRows_, 1);
        makeRoom(table_.wideFirst_, 1);
        makeRoom(table_.checkpoints_, (cells - 1) / RecordTable::kCheckpointStride);
    }

    // A row without LFs stays where it stands. One with LFs inside moves down to the end of the
    // row before it, dropping them, and so does every row once the bytes between rows would be
    // more than a row's end should have to look back over.
    std::size_t start = begin;
    if (lineFeeds == 0 && begin - write_ <= RecordTable::kMaxGap) {
        // Only CRs and LFs stand between rows: what a row that moved left behind becomes LFs.
        if (moved_) std::memset(table_.text_.mutableData() + write_, '\n', begin - write_);
        moved_ = false;
        write_ = scan.end;
    } else {
        // A text that others read too becomes the reader's own before its first row moves.
        char* const out = table_.text_.mutableData();
        base = out;
        start = write_;
        const char* src = base + begin;
        const char* const srcEnd = base + scan.end;
        char* dst = out + write_;
        while (src < srcEnd) {
            const void* lf = std::memchr(src, '\n', srcEnd - src);
            const char* pieceEnd = lf ? static_cast<const char*>(lf) : srcEnd;
            const std::size_t n = pieceEnd - src;
            if (dst != src && n > 0) std::memmove(dst, src, n);
            dst += n;
            src = lf ? pieceEnd + 1 : srcEnd;
        }
        write_ = dst - out;
        moved_ = true;
    }

    if (wide) {
        table_.wideRows_.push_back(static_cast<std::uint32_t>(table_.rowCount()));
        table_.wideFirst_.push_back(table_.checkpoints_.size());
        std::size_t cell = 0;
        for (std::size_t i = start; i < write_; ++i) {
            if (base[i] == '\t' && ++cell % RecordTable::kCheckpointStride == 0) {
                table_.checkpoints_.push_back(i + 1 - start);
            }
        }
    }
    withEntries([&](auto& entries) {
        using Offset = typename std::remove_reference_t<decltype(entries)>::value_type;
        entries.back() = static_cast<Offset>(start);
        entries.push_back(static_cast<Offset>(write_));
    });
    table_.widest_ = std::max(table_.widest_, cells);
    pos_ = atEnd ? end_ : scan.end + 1;
}

RecordTable RecordReader::take() {
    withEntries([](auto& entries) {
        if (entries.empty()) entries.push_back(0);
    });
    // What lies past the compacted rows is consumed text; the buffer is handed over as it is.
    table_.text_.truncate(write_);
    RecordTable out = std::move(table_);
    table_ = RecordTable();
    pos_ = end_ = write_ = 0;
    moved_ = false;
    return out;
}

RecordTable readRecords(TextBuffer text) {
    RecordReader reader(std::move(text));
    reader.read();
    return reader.take();
}

}  // namespace sorvane::core
