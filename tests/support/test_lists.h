#pragma once

// Helpers shared by the core tests: lists built from clipboard text, and their cells as plain
// vectors so a failing expectation prints what the list holds.

#include <memory>
#include <string>
#include <vector>

#include "record_list.h"
#include "record_reader.h"

namespace sorvane::core::testing {

using Rows = std::vector<std::vector<std::string>>;

/// A list holding the records of `text`, read as Paste records reads it (its lone LFs ending
/// rows where the clipboard text says so).
inline RecordList listOf(TextBuffer text) {
    RecordReader reader(std::move(text));
    reader.read();
    RecordList list;
    list.growColumns(reader.widestRow());
    list.setRecords(std::make_shared<const RecordTable>(reader.take()));
    return list;
}

/// The same of a string, read as Paste records reads text that went through no clipboard.
inline RecordList listOf(std::string text) { return listOf(TextBuffer(std::move(text))); }

/// Every cell of every record, columnCount() cells a record.
inline Rows cellsOf(const RecordList& list) {
    Rows rows;
    for (std::size_t r = 0; r < list.recordCount(); ++r) {
        auto& row = rows.emplace_back();
        for (std::size_t c = 0; c < list.columnCount(); ++c) row.emplace_back(list.cell(r, c));
    }
    return rows;
}

/// The first cell of every record, in the order shown.
inline std::vector<std::string> firstCells(const RecordList& list) {
    std::vector<std::string> cells;
    for (std::size_t r = 0; r < list.recordCount(); ++r) cells.emplace_back(list.cell(r, 0));
    return cells;
}

}  // namespace sorvane::core::testing
