#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "clipboard.h"
#include "comparison.h"
#include "record_list.h"
#include "step_runner.h"

namespace sorvane::core {

/// The six record lists, named as the window shows them (ListView1 to ListView6).
enum class ListId { List1, List2, Matches1, Matches2, NotFound1, NotFound2 };
inline constexpr std::size_t kListCount = 6;

/// An input list with its choosers and its two result lists.
enum class Side { List1, List2 };
inline constexpr std::size_t kSideCount = 2;

/// Every list, in the order of ListId.
inline constexpr std::array<ListId, kListCount> kLists = {
    ListId::List1,    ListId::List2,     ListId::Matches1,
    ListId::Matches2, ListId::NotFound1, ListId::NotFound2};

/// The input list of a side.
constexpr ListId inputOf(Side side) { return side == Side::List1 ? ListId::List1 : ListId::List2; }

// What a command changed of what the window shows, so that a window redraws exactly that and
// keeps no copy of what it showed before to find out.
struct Changes {
    std::bitset<kListCount> lists;     ///< records, their order or columns of each list
    std::bitset<kListCount> counts;    ///< the text of each list's count label
    std::bitset<kSideCount> choosers;  ///< the entries of a side's four choosers, refilled

    /// Whether anything changed.
    bool any() const { return lists.any() || counts.any() || choosers.any(); }
    /// Whether list `id` changed.
    bool list(ListId id) const { return lists[static_cast<std::size_t>(id)]; }
    /// Whether the count label of list `id` changed.
    bool count(ListId id) const { return counts[static_cast<std::size_t>(id)]; }
    /// Whether the choosers of `side` were refilled.
    bool chooser(Side side) const { return choosers[static_cast<std::size_t>(side)]; }
    bool operator==(const Changes&) const = default;
};

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

    /// What changed since the last call, which starts the next account.
    Changes takeChanges() { return std::exchange(changes_, Changes{}); }

    /// Paste records: reads the clipboard's text, then replaces the side's input list with its
    /// records, adds the columns its rows need to it and its two result lists, refills the side's
    /// chooser entries with 1 to N and sets its count label. Runs under the error report. A read
    /// that is cancelled changes nothing; after a later cancelled step the list keeps the records
    /// and columns read so far, the count label counts them, and the choosers are as that step
    /// left them.
    void paste(Side side, Clipboard& clipboard, CommandUi& ui);

    /// Copy records: puts a result list on the clipboard as text; nothing at all for an empty
    /// list. Runs under the error report.
    void copy(ListId id, Clipboard& clipboard, CommandUi& ui);

    /// The Compare command: empties the four result lists, then either returns the refusal
    /// message (count labels untouched) or fills the result lists and their count labels.
    std::optional<std::string> compare(const ChooserTexts& texts, Pairing pairing = pairRecords);

    /// A click on the header of column `column` (0-based) of a list: sorts it by that column,
    /// except the two Matches lists, whose rows must stay side by side.
    void headerClicked(ListId id, std::size_t column);

private:
    // Every change goes through these, so that none is left out of the account.
    RecordList& mutableList(ListId id) {
        changes_.lists.set(static_cast<std::size_t>(id));
        return lists_[static_cast<std::size_t>(id)];
    }
    std::vector<std::string>& mutableChoosers(Side side) {
        changes_.choosers.set(static_cast<std::size_t>(side));
        return choosers_[static_cast<std::size_t>(side)];
    }
    void setCount(ListId id);

    std::string grouping_;
    std::array<RecordList, kListCount> lists_;
    std::array<std::string, kListCount> labels_;
    std::array<std::vector<std::string>, kSideCount> choosers_;
    Changes changes_;
};

}  // namespace sorvane::core
