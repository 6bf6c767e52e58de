#pragma once

#include <string>
#include <string_view>

#include "record_list.h"

namespace sorvane::core {

/// `cell` without its leading and trailing spaces (U+0020 only).
std::string_view trimSpaces(std::string_view cell);

/// The clipboard text of a list's records: one row per record in the order shown, exactly
/// columnCount() cells a row (missing cells empty), each cell without its outer spaces, a TAB
/// between cells and a CR after every row; no LF anywhere and no header row.
std::string writeRecords(const RecordList& list);

/// The most bytes that writeRecords(list) can take; cheap to compute.
std::size_t writtenSizeBound(const RecordList& list);

/// The same text, written at `out`, which has room for writtenSizeBound(list) bytes; returns
/// its length. Past the text, at most the last row's untrimmed length is written.
std::size_t writeRecords(const RecordList& list, char* out);

}  // namespace sorvane::core
