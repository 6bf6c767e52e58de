#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "huge_vector.h"
#include "record_table.h"

namespace sorvane::core {

class TextOrder;

/// Row numbers of a table, in the order a list shows them.
using RowNumbers = HugeVector<std::uint32_t>;

// One record list: numbered columns, records in the order shown, and sort settings.
//
// Records are rows of a shared, immutable table, so a result list refers to the rows of its
// input list instead of copying their cells, and keeps showing them after that input list is
// pasted again. Copying a RecordList is cheap: it shares the table and the row order.
class RecordList {
public:
    /// A new list: one column, no records, not sorted.
    RecordList();

    /// Number of columns; at least 1, captioned 1 to columnCount().
    std::size_t columnCount() const { return columns_; }

    /// Adds columns at the end until there are at least `count`; columns are never removed.
    void growColumns(std::size_t count);

    /// Number of records.
    std::size_t recordCount() const { return rows_ ? rows_->size() : table_->rowCount(); }

    /// Cell `column` (0-based) of record `record` (0-based, in the order shown); a cell the
    /// record never received reads as empty text.
    std::string_view cell(std::size_t record, std::size_t column) const {
        return table_->cell(tableRow(record), column);
    }

    /// The table row shown at position `record`.
    std::size_t tableRow(std::size_t record) const { return rows_ ? (*rows_)[record] : record; }

    /// Whether `other` shows the same records of the same table in the same order, with the
    /// same columns: a view showing this list need not be redrawn for the other.
    bool sameContent(const RecordList& other) const {
        return table_ == other.table_ && rows_ == other.rows_ && columns_ == other.columns_;
    }

    /// The table the records come from.
    const std::shared_ptr<const RecordTable>& table() const { return table_; }

    /// Removes every record; columns and sort settings stay.
    void clear();

    /// Shows every row of `table`, ordered by the sort key if the list is sorted.
    void setRecords(std::shared_ptr<const RecordTable> table);

    /// Shows the given rows of `table`, ordered by the sort key if the list is sorted.
    void setRecords(std::shared_ptr<const RecordTable> table, RowNumbers rows);

    /// Whether the list keeps its records ordered by the sort key.
    bool sorted() const { return sorted_; }

    /// The 0-based column the list is ordered by once sorted.
    std::size_t sortKey() const { return sortKey_; }

    /// Sets the sort key, turns sorting on and orders the records by that column (ascending,
    /// stable). A second call with the same key orders the list again; it never reverses it.
    void sortBy(std::size_t column);

    /// Sets how cells are ordered from the next sort or refill on; the root order until then.
    void setTextOrder(std::shared_ptr<const TextOrder> order);

private:
    void applyOrder();

    std::shared_ptr<const RecordTable> table_;
    std::shared_ptr<const RowNumbers> rows_;  // null: every table row in table order
    std::shared_ptr<const TextOrder> order_;
    std::size_t columns_ = 1;
    std::size_t sortKey_ = 0;
    bool sorted_ = false;
};

/// What a list view shows of a cell: at most `most` bytes of it (kShownBytes in the native
/// windows; the page shows less), cut between two characters, and
/// whether it was cut, which the view marks with an ellipsis. Laying out a cell of megabytes on
/// every paint would freeze the window; copying still writes the whole cell.
struct ShownCell {
    static constexpr std::size_t kShownBytes = 4096;
    std::string_view text;
    bool cut;
};
ShownCell shownCell(std::string_view cell, std::size_t most = ShownCell::kShownBytes);

}  // namespace sorvane::core
