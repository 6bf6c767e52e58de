#include "record_list.h"

#include <algorithm>
#include <utility>

#include "text_order.h"

namespace sorvane::core {
namespace {

const std::shared_ptr<const RecordTable>& emptyTable() {
    static const auto empty = std::make_shared<const RecordTable>();
    return empty;
}

}  // namespace

RecordList::RecordList() : table_(emptyTable()), order_(rootOrder()) {}

void RecordList::growColumns(std::size_t count) { columns_ = std::max(columns_, count); }

void RecordList::clear() {
    table_ = emptyTable();
    rows_.reset();
}

void RecordList::setRecords(std::shared_ptr<const RecordTable> table) {
    table_ = table ? std::move(table) : emptyTable();
    rows_.reset();
    applyOrder();
}

void RecordList::setRecords(std::shared_ptr<const RecordTable> table, RowNumbers rows) {
    table_ = table ? std::move(table) : emptyTable();
    rows_ = std::make_shared<const RowNumbers>(std::move(rows));
    applyOrder();
}

void RecordList::sortBy(std::size_t column) {
    // The new order is made before anything changes, so a sort that runs out of memory leaves
    // the list exactly as it was.
    std::shared_ptr<const RowNumbers> rows =
        recordCount() < 2 ? rows_ : std::make_shared<const RowNumbers>(orderedRows(*this, column, *order_));
    sortKey_ = column;
    sorted_ = true;
    rows_ = std::move(rows);
}

void RecordList::setTextOrder(std::shared_ptr<const TextOrder> order) {
    if (order) order_ = std::move(order);
}

void RecordList::applyOrder() {
    if (!sorted_ || recordCount() < 2) return;
    rows_ = std::make_shared<const RowNumbers>(orderedRows(*this, sortKey_, *order_));
}

ShownCell shownCell(std::string_view cell, std::size_t most) {
    if (cell.size() <= most) return {cell, false};
    std::size_t cut = most;
    while (cut > 0 && (static_cast<unsigned char>(cell[cut]) & 0xC0) == 0x80) --cut;
    return {cell.substr(0, cut), true};
}

}  // namespace sorvane::core
