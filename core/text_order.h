#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "record_list.h"

namespace sorvane::core {

/// The locale whose rules order text, as the platform resolves it from the environment: the
/// first of LC_ALL, LC_COLLATE and LANG that is set and not empty; empty when none is.
std::string collationLocale(const char* lcAll, const char* lcCollate, const char* lang);

// How cells are ordered: by the collation of one locale, as people who read that locale's
// scripts expect. Case does not separate words (cells that differ only in case are equal), an
// accented letter sorts next to its plain one, digits are text ("10" before "9"), and an empty
// cell comes first. Invalid UTF-8 orders as U+FFFD.
//
// The collation is the platform's own. On Linux it is ICU's Unicode Collation Algorithm, and a
// locale is named as POSIX names it ("sv_SE.UTF-8"); "", "C", "POSIX" and "C.UTF-8", like a
// locale that has no rules of its own, give the algorithm's root order. On Windows it is the
// system's sort, where a hyphen or an apostrophe counts as the symbol it is, as in the root
// order, rather than being passed over as in the system's word sort. A locale is named there as
// Windows names it ("sv-SE") or as POSIX does; "", "C", "POSIX" and "C.UTF-8", like a name that
// Windows does not know, give the user's own locale, as every other program there sorts by.
// In a browser it is the browser's own (Intl.Collator, ICU's algorithm again), a locale named
// either way, and "", "C", "POSIX" and "C.UTF-8" give the browser's default order.
class TextOrder {
public:
    /// The order of the locale named `locale`, as above. Throws std::bad_alloc when there is no
    /// memory for it.
    explicit TextOrder(std::string_view locale = {});
    ~TextOrder();
    TextOrder(const TextOrder&) = delete;
    TextOrder& operator=(const TextOrder&) = delete;

    /// Whether the rules make sort keys. The browser's collation makes none: it only compares
    /// two texts, so a column is ordered there by ranking its distinct cells instead.
#if defined(__EMSCRIPTEN__)
    static constexpr bool makesKeys() { return false; }
#else
    static constexpr bool makesKeys() { return true; }
#endif

    /// Appends the sort key of `cell`: comparing keys byte by byte orders cells. One TextOrder
    /// makes keys on one thread at a time. Only where makesKeys(); elsewhere it throws
    /// std::logic_error.
    void appendKey(std::string& out, std::string_view cell) const;

    /// Negative, zero or positive as `a` orders before, with or after `b`.
    int compare(std::string_view a, std::string_view b) const;

    /// The same rules, to make keys on another thread at the same time as this one does; null
    /// where the platform's collation gains too little from more threads to pay for them.
    /// Throws std::bad_alloc when there is no memory for them.
    std::unique_ptr<const TextOrder> forAnotherThread() const;

    /// The locale whose rules are in use, as the platform names it: ICU's "sv" or "root",
    /// Windows' "sv-SE".
    std::string ruleLocale() const;

    /// Whether cells made only of digits and the - . / of numbers and dates order under these
    /// rules as their bytes do, so that a column of them can be sorted by its cells themselves.
    bool ordersPlainCellsAsBytes() const { return plainAsBytes_; }

private:
    // The platform's collation, defined with the platform's half of this class.
    struct Rules;

#if defined(__EMSCRIPTEN__)
    // Ranks a column's cells with the browser's collation, which only the rules hold.
    friend RowNumbers rankedRows(const RecordList& list, std::size_t column,
                                 const TextOrder& order);
#endif

    // Whether plain cells order as their bytes under the rules in use: the same check whatever
    // the platform, made once the rules are in place.
    bool checkPlainCells() const;

    // Rules already made, with what checkPlainCells() found of them.
    TextOrder(std::unique_ptr<Rules> rules, bool plainAsBytes);

    std::unique_ptr<Rules> rules_;
    bool plainAsBytes_;
};

/// `text` with case set aside character by character, by the platform's Unicode rules, so that
/// two texts that differ only in case fold to the same units.
std::u16string foldCase(std::u16string_view text);

/// The order of the empty locale name (the root order; the user's on Windows), shared by every
/// list that was given no other.
const std::shared_ptr<const TextOrder>& rootOrder();

/// The table rows of `list` ordered by `column` ascending in `order`; records with equal keys
/// keep their relative order.
RowNumbers orderedRows(const RecordList& list, std::size_t column, const TextOrder& order);

}  // namespace sorvane::core
