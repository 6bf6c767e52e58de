#pragma once

#include <string>
#include <string_view>

#include "record_list.h"

namespace sorvane::core {

/// `cell` without its leading and trailing spaces (U+0020 only). In line, as a comparison reads
/// a key of every record through it, and most cells have no space to trim.
inline std::string_view trimSpaces(std::string_view cell) {
    std::size_t first = 0;
    std::size_t end = cell.size();
    while (first < end && cell[first] == ' ') ++first;
    while (end > first && cell[end - 1] == ' ') --end;
    return cell.substr(first, end - first);
}

/// The clipboard text of a list's records: one row per record in the order shown, exactly
/// columnCount() cells a row (missing cells empty), each cell without its outer spaces, a TAB
/// between cells and a CR after every row; no LF anywhere and no header row.
std::string writeRecords(const RecordList& list);

/// The most bytes that writeRecords(list) can take: for a list of part of its table's rows, a
/// pass over where those rows start.
std::size_t writtenSizeBound(const RecordList& list);

/// How rows are written: the Copy records text by default, or comma-separated values.
struct RowFormat {
    char separator = '\t';            ///< between two cells
    std::string_view lineEnd = "\r";  ///< after every row
    bool quoted = false;  ///< a cell that holds the separator or a double quote is quoted, its
                          ///< double quotes doubled, as comma-separated values need
};

/// How far one call of writeRecordsPart got.
struct WrittenPart {
    std::size_t records;  ///< records written, whole
    std::size_t bytes;    ///< bytes written
};

/// The most bytes that record `record` of `list` takes in `format`.
std::size_t writtenRecordBound(const RecordList& list, std::size_t record, const RowFormat& format);

/// Writes records from position `first` on, each trimmed as writeRecords trims it, at `out`,
/// for as long as the next one's writtenRecordBound fits in the `room` bytes left. Writing a
/// long list through a small room that is used again and again touches no fresh memory.
WrittenPart writeRecordsPart(const RecordList& list, std::size_t first, char* out,
                             std::size_t room, const RowFormat& format);

/// The same text, written at `out`, which has room for writtenSizeBound(list) bytes; returns
/// its length. Past the text, at most the last row's untrimmed length is written.
std::size_t writeRecords(const RecordList& list, char* out);

}  // namespace sorvane::core
