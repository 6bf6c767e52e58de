#include "workspace.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "count_text.h"
#include "memory_advice.h"
#include "record_reader.h"
#include "record_writer.h"
#include "text_order.h"

namespace sorvane::core {
namespace {

constexpr ListId kResultLists[] = {ListId::Matches1, ListId::Matches2, ListId::NotFound1,
                                   ListId::NotFound2};

ListId matchesOf(Side side) { return side == Side::List1 ? ListId::Matches1 : ListId::Matches2; }
ListId notFoundOf(Side side) {
    return side == Side::List1 ? ListId::NotFound1 : ListId::NotFound2;
}

// The table rows shown at the given positions of a list, converted in place.
RowNumbers tableRows(const RecordList& list, RowNumbers&& positions) {
    for (std::uint32_t& p : positions) p = static_cast<std::uint32_t>(list.tableRow(p));
    return std::move(positions);
}

}  // namespace

Workspace::Workspace(std::string grouping, std::string_view collationLocale)
    : grouping_(std::move(grouping)) {
    const auto order = std::make_shared<const TextOrder>(collationLocale);
    for (RecordList& list : lists_) list.setTextOrder(order);
}

void Workspace::setCount(ListId id) {
    std::string text = countText(list(id).recordCount(), grouping_);
    auto& label = labels_[static_cast<std::size_t>(id)];
    if (text == label) return;
    label = std::move(text);
    changes_.counts.set(static_cast<std::size_t>(id));
}

void Workspace::paste(Side side, Clipboard& clipboard, CommandUi& ui) {
    const ListId input = inputOf(side);
    releaseKeptScratch();  // the text takes that memory
    StepRunner steps(ui);
    steps.run([&] { ui.setPointer(Pointer::Busy); });

    // The list is emptied only once the text is in hand: a read that fails and is cancelled must
    // not cost the user the records pasted before.
    TextBuffer text;
    if (!steps.run([&] { text = clipboard.text(); })) return;
    steps.run([&] { mutableList(input).clear(); });
    RecordReader reader(std::move(text));
    const bool readAll = steps.run([&] { reader.read(); });

    // Whatever was read stays, also after a cancel: records and the columns they needed. The
    // table is allocated before the rows move into it, so they cannot be lost on the way.
    if (reader.rowCount() > 0 || readAll) {
        const std::size_t widest = reader.widestRow();
        for (const ListId id : {input, matchesOf(side), notFoundOf(side)}) {
            if (list(id).columnCount() < widest) mutableList(id).growColumns(widest);
        }
        std::shared_ptr<RecordTable> table;
        steps.runAlways([&] { table = std::make_shared<RecordTable>(); });
        if (table) {
            *table = reader.take();
            mutableList(input).setRecords(std::move(table));
        }
    }

    steps.run([&] { mutableChoosers(side).clear(); });
    steps.run([&] {
        const std::size_t columns = list(input).columnCount();
        std::vector<std::string>& entries = mutableChoosers(side);
        entries.reserve(columns);
        for (std::size_t k = 1; k <= columns; ++k) entries.push_back(std::to_string(k));
    });
    // Whichever step was cancelled, the count label counts the records the list now holds.
    steps.runAlways([&] { setCount(input); });
    steps.run([&] { ui.setPointer(Pointer::Arrow); });
}

void Workspace::copy(ListId id, Clipboard& clipboard, CommandUi& ui) {
    const RecordList& source = list(id);
    if (source.recordCount() == 0) return;

    releaseKeptScratch();  // the text takes that memory
    StepRunner steps(ui);
    steps.run([&] { ui.setPointer(Pointer::Busy); });
    steps.run([&] { clipboard.clear(); });
    std::size_t length = 0;
    steps.run([&] {
        // Room for whichever result list is copied, the same for each: a clipboard that keeps
        // its room then faults in its pages once, not once for every list copied in turn.
        std::size_t room = writtenSizeBound(source);
        for (const ListId r : kResultLists) room = std::max(room, writtenSizeBound(list(r)));
        length = writeRecords(source, clipboard.textRoom(room));
    });
    steps.run([&] { clipboard.putText(length); });
    steps.run([&] { ui.setPointer(Pointer::Arrow); });
}

std::optional<std::string> Workspace::compare(const ChooserTexts& texts, Pairing pairing) {
    for (const ListId id : kResultLists) mutableList(id).clear();
    const RecordList& list1 = list(ListId::List1);
    const RecordList& list2 = list(ListId::List2);
    auto result = compareLists(list1, list2, texts, pairing);
    if (const auto* refusal = std::get_if<Refusal>(&result)) return refusal->message;

    Outcome& outcome = std::get<Outcome>(result);
    mutableList(ListId::Matches1).setRecords(list1.table(), tableRows(list1, std::move(outcome.matched1)));
    mutableList(ListId::Matches2).setRecords(list2.table(), tableRows(list2, std::move(outcome.matched2)));
    mutableList(ListId::NotFound1).setRecords(list1.table(), tableRows(list1, std::move(outcome.unmatched1)));
    mutableList(ListId::NotFound2).setRecords(list2.table(), tableRows(list2, std::move(outcome.unmatched2)));
    for (const ListId id : kResultLists) setCount(id);
    return std::nullopt;
}

void Workspace::headerClicked(ListId id, std::size_t column) {
    if (!sortsOnHeaderClick(id) || column >= list(id).columnCount()) return;
    mutableList(id).sortBy(column);
}

}  // namespace sorvane::core
