#include "record_writer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "portable.h"
#include "text_scan.h"

namespace sorvane::core {

namespace {

// Writes `bytes` at `out` and returns the end of what it wrote.
char* put(char* out, std::string_view bytes) {
    if (!bytes.empty()) std::memcpy(out, bytes.data(), bytes.size());
    return out + bytes.size();
}

}  // namespace

std::string writeRecords(const RecordList& list) {
    const auto room = uninitializedChars(writtenSizeBound(list));
    return std::string(room.get(), writeRecords(list, room.get()));
}

std::size_t writtenSizeBound(const RecordList& list) {
    // A list shows each row of its table at most once, and trimming only shortens cells, so the
    // text of its rows plus `columns` TABs and CRs a row hold the whole text. A list of all the
    // table's rows holds all its text; a result list a part, added up row by row: room for the
    // whole table would be room taken for nothing, which in a page's memory stays taken.
    const std::size_t n = list.recordCount();
    if (n == 0) return 0;
    const RecordTable& table = *list.table();
    std::size_t text = table.textSize();
    if (n < table.rowCount()) {
        text = 0;
        for (std::size_t i = 0; i < n; ++i) text += table.rowSpan(list.tableRow(i));
    }
    return text + n * list.columnCount();
}

namespace {

// Writes one cell between double quotes, its double quotes doubled.
char* putQuoted(char* out, std::string_view cell) {
    *out++ = '"';
    for (const char c : cell) {
        *out++ = c;
        if (c == '"') *out++ = '"';
    }
    *out++ = '"';
    return out;
}

// Writes one row's cells as `format` says, each without its outer spaces, up to `columns`.
char* putFormattedRow(char* out, std::string_view row, std::size_t columns,
                      const RowFormat& format) {
    std::size_t pos = 0;
    for (std::size_t c = 0; c < columns; ++c) {
        if (c > 0) *out++ = format.separator;
        if (pos > row.size()) continue;  // the record has no more cells
        const std::size_t tab = row.find('\t', pos);
        const std::string_view cell = trimSpaces(row.substr(pos, tab - pos));
        const bool quote = format.quoted && (cell.find('"') != std::string_view::npos ||
                                             cell.find(format.separator) != std::string_view::npos);
        out = quote ? putQuoted(out, cell) : put(out, cell);
        pos = tab == std::string_view::npos ? row.size() + 1 : tab + 1;
    }
    return out;
}

// The most bytes a row of `text` bytes takes written in `columns` columns: a quoted cell at most
// doubles its text and adds two quotes, and each column but the first adds its separator.
std::size_t boundOf(std::size_t text, std::size_t columns, const RowFormat& format) {
    return (format.quoted ? 2 * text + 3 * columns : text + columns) + format.lineEnd.size();
}

// Writes records from `first` on at `out` as `format` says, for as long as the next one's bound
// fits before `limit` (null: no limit); returns the number written and where they end.
std::pair<std::size_t, char*> putRecords(const RecordList& list, std::size_t first, char* out,
                                         const char* limit, const RowFormat& format) {
    const std::size_t last = list.recordCount();
    const std::size_t columns = list.columnCount();
    const RecordTable& table = *list.table();
    const bool plain = format.separator == '\t' && !format.quoted;
    // Result lists visit their table's rows out of order, so rows are fetched a little ahead.
    constexpr std::size_t kAhead = 8;
    std::size_t i = first;
    for (; i < last; ++i) {
        if (i + 2 * kAhead < last) table.prefetchRowStart(list.tableRow(i + 2 * kAhead));
        if (i + kAhead < last) table.prefetchRowText(list.tableRow(i + kAhead));
        const std::string_view row = table.row(list.tableRow(i));
        if (limit != nullptr &&
            static_cast<std::size_t>(limit - out) < boundOf(row.size(), columns, format)) {
            break;
        }
        if (plain) {
            const RowMarks marks = copyRow(row, out);
            if (!marks.spaces) {
                // Nothing to trim: the stored row, copied as it stands, is its cells joined by
                // TAB.
                out += row.size();
                const std::size_t missing = columns - std::min(columns, marks.tabs + 1);
                std::memset(out, '\t', missing);
                out += missing;
            } else {
                out = putFormattedRow(out, row, columns, format);  // over the copy
            }
        } else {
            out = putFormattedRow(out, row, columns, format);
        }
        if (format.lineEnd.size() == 1) {
            *out++ = format.lineEnd[0];
        } else {
            out = put(out, format.lineEnd);
        }
    }
    return {i - first, out};
}

}  // namespace

std::size_t writeRecords(const RecordList& list, char* out) {
    const auto written = putRecords(list, 0, out, nullptr, RowFormat{});
    return static_cast<std::size_t>(written.second - out);
}

std::size_t writtenRecordBound(const RecordList& list, std::size_t record,
                               const RowFormat& format) {
    return boundOf(list.table()->row(list.tableRow(record)).size(), list.columnCount(), format);
}

WrittenPart writeRecordsPart(const RecordList& list, std::size_t first, char* out,
                             std::size_t room, const RowFormat& format) {
    const auto written = putRecords(list, first, out, out + room, format);
    return {written.first, static_cast<std::size_t>(written.second - out)};
}

}  // namespace sorvane::core
