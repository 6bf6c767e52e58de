#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clipboard.h"
#include "comparison.h"
#include "record_list.h"
#include "step_runner.h"

namespace sorvane::core {

/// The six record lists, named as the window shows them (ListView1 to ListView6).
enum class ListId { List1, List2, Matches1, Matches2, NotFound1, NotFound2 };

/// An input list with its choosers and its two result lists.
enum class Side { List1, List2 };

/// Whether a click on a header of the list sorts it: the two Matches lists show their pairs
/// side by side, and neither is ever reordered apart from the other.
constexpr bool sortsOnHeaderClick(ListId id) {
    return id != ListId::Matches1 && id != ListId::Matches2;
}

// Everything the window shows of the data: the six record lists, the entries of the column
// choosers of each side and the six count label texts, with the commands that change them.
// The window only moves these to and from its controls.
class Workspace {
public:
    /// An empty workspace whose count texts group digits with `grouping` and whose lists order
    /// text by the rules of `collationLocale` (a POSIX locale name; empty for the root order).
    explicit Workspace(std::string grouping = ",", std::string_view collationLocale = {});

    /// One of the six lists.
    const RecordList& list(ListId id) const { return lists_[static_cast<int>(id)]; }

    /// The text of a list's count label (Label11 to Label16); empty until first set.
    const std::string& countLabel(ListId id) const { return labels_[static_cast<int>(id)]; }

    /// The entries that the four column choosers of a side offer.
    const std::vector<std::string>& chooserEntries(Side side) const {
        return choosers_[static_cast<int>(side)];
    }

    /// Counts every refill of a side's chooser entries, so the window knows when to refill.
    std::uint64_t chooserRevision(Side side) const {
        return chooserRevisions_[static_cast<int>(side)];
    }

    /// Paste records: replaces the side's input list with the clipboard's records, adds the
    /// columns its rows need to it and its two result lists, refills the side's chooser entries
    /// with 1 to N and sets its count label. Runs under the error report; a cancelled paste keeps
    /// the records and columns read so far and leaves choosers and count label as they were.
    void paste(Side side, Clipboard& clipboard, CommandUi& ui);

    /// Copy records: puts a result list on the clipboard as text; nothing at all for an empty
    /// list. Runs under the error report.
    void copy(ListId id, Clipboard& clipboard, CommandUi& ui);

    /// The Compare command: empties the four result lists, then either returns the refusal
    /// message (count labels untouched) or fills the result lists and their count labels.
    std::optional<std::string> compare(const ChooserTexts& texts, Pairing pairing = pairRecords);

    /// A click on column header `header` (1-based) of a list: sorts it by that column, except
    /// the two Matches lists, whose rows must stay side by side.
    void headerClicked(ListId id, std::size_t header);

private:
    RecordList& mutableList(ListId id) { return lists_[static_cast<int>(id)]; }
    void setCount(ListId id) { labels_[static_cast<int>(id)] = countTextOf(list(id)); }
    std::string countTextOf(const RecordList& list) const;

    std::string grouping_;
    std::array<RecordList, 6> lists_;
    std::array<std::string, 6> labels_;
    std::array<std::vector<std::string>, 2> choosers_;
    std::array<std::uint64_t, 2> chooserRevisions_{};
};

}  // namespace sorvane::core
