#include "record_writer.h"

#include <algorithm>
#include <cstring>

#include "memory_advice.h"
#include "text_scan.h"

namespace sorvane::core {

std::string_view trimSpaces(std::string_view cell) {
    const std::size_t first = cell.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return cell.substr(first, cell.find_last_not_of(' ') - first + 1);
}

namespace {

// Appends one row's cells, each without its outer spaces, with TABs up to `columns` cells.
void appendTrimmedRow(std::string& out, std::string_view row, std::size_t columns) {
    std::size_t pos = 0;
    for (std::size_t c = 0; c < columns; ++c) {
        if (c > 0) out.push_back('\t');
        if (pos > row.size()) continue;  // the record has no more cells
        const std::size_t tab = row.find('\t', pos);
        out.append(trimSpaces(row.substr(pos, tab - pos)));
        pos = tab == std::string_view::npos ? row.size() + 1 : tab + 1;
    }
}

}  // namespace

std::string writeRecords(const RecordList& list) {
    std::string out;
    writeRecords(list, out);
    return out;
}

std::size_t writtenSizeBound(const RecordList& list) {
    // A list shows each row of its table at most once, and trimming only shortens cells, so the
    // table's text plus `columns` TABs and CRs a row hold the whole text.
    return list.recordCount() == 0 ? 0
                                   : list.table()->textSize() + list.recordCount() * list.columnCount();
}

void writeRecords(const RecordList& list, std::string& out) {
    const std::size_t n = list.recordCount();
    const std::size_t columns = list.columnCount();
    out.clear();
    if (n == 0) return;
    const RecordTable& table = *list.table();

    // Pages of the room that the text does not reach are never touched.
    const std::size_t bound = writtenSizeBound(list);
    if (out.capacity() < bound) {
        out = std::string();
        out.reserve(bound);
        preferHugePages(out.data(), bound);
    }

    // Result lists visit their table's rows out of order, so rows are fetched a little ahead.
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 2 * kAhead < n) table.prefetchRowStart(list.tableRow(i + 2 * kAhead));
        if (i + kAhead < n) table.prefetchRowText(list.tableRow(i + kAhead));
        const std::string_view row = table.row(list.tableRow(i));
        const RowMarks marks = marksOf(row);
        if (!marks.spaces) {
            // Nothing to trim: the stored row is already its cells joined by TAB.
            out.append(row);
            out.append(columns - std::min(columns, marks.tabs + 1), '\t');
        } else {
            appendTrimmedRow(out, row, columns);
        }
        out.push_back('\r');
    }
}

}  // namespace sorvane::core
