#include "record_writer.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "text_scan.h"

namespace sorvane::core {

std::string_view trimSpaces(std::string_view cell) {
    const std::size_t first = cell.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return cell.substr(first, cell.find_last_not_of(' ') - first + 1);
}

namespace {

// Writes `bytes` at `out` and returns the end of what it wrote.
char* put(char* out, std::string_view bytes) {
    if (!bytes.empty()) std::memcpy(out, bytes.data(), bytes.size());
    return out + bytes.size();
}

// Writes one row's cells, each without its outer spaces, with TABs up to `columns` cells.
char* putTrimmedRow(char* out, std::string_view row, std::size_t columns) {
    std::size_t pos = 0;
    for (std::size_t c = 0; c < columns; ++c) {
        if (c > 0) *out++ = '\t';
        if (pos > row.size()) continue;  // the record has no more cells
        const std::size_t tab = row.find('\t', pos);
        out = put(out, trimSpaces(row.substr(pos, tab - pos)));
        pos = tab == std::string_view::npos ? row.size() + 1 : tab + 1;
    }
    return out;
}

}  // namespace

std::string writeRecords(const RecordList& list) {
    const auto room = std::make_unique_for_overwrite<char[]>(writtenSizeBound(list));
    return std::string(room.get(), writeRecords(list, room.get()));
}

std::size_t writtenSizeBound(const RecordList& list) {
    // A list shows each row of its table at most once, and trimming only shortens cells, so the
    // table's text plus `columns` TABs and CRs a row hold the whole text.
    return list.recordCount() == 0 ? 0
                                   : list.table()->textSize() + list.recordCount() * list.columnCount();
}

std::size_t writeRecords(const RecordList& list, char* out) {
    const std::size_t n = list.recordCount();
    if (n == 0) return 0;
    const std::size_t columns = list.columnCount();
    const RecordTable& table = *list.table();
    char* const begin = out;

    // Result lists visit their table's rows out of order, so rows are fetched a little ahead.
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 2 * kAhead < n) table.prefetchRowStart(list.tableRow(i + 2 * kAhead));
        if (i + kAhead < n) table.prefetchRowText(list.tableRow(i + kAhead));
        const std::string_view row = table.row(list.tableRow(i));
        const RowMarks marks = copyRow(row, out);
        if (!marks.spaces) {
            // Nothing to trim: the stored row, copied as it stands, is its cells joined by TAB.
            out += row.size();
            const std::size_t missing = columns - std::min(columns, marks.tabs + 1);
            std::memset(out, '\t', missing);
            out += missing;
        } else {
            out = putTrimmedRow(out, row, columns);  // over the copy
        }
        *out++ = '\r';
    }
    return static_cast<std::size_t>(out - begin);
}

}  // namespace sorvane::core
