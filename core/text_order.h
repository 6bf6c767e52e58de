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

// How cells are ordered: the Unicode Collation Algorithm with the rules of one locale, as people
// who read that locale's scripts expect. Case does not separate words (cells that differ only
// in case are equal), an accented letter sorts next to its plain one, digits are text ("10"
// before "9"), and an empty cell comes first. Invalid UTF-8 orders as U+FFFD.
class TextOrder {
public:
    /// The order of a POSIX locale name such as "sv_SE.UTF-8"; "", "C", "POSIX" and "C.UTF-8",
    /// like a locale that has no rules of its own, give the root order of the Unicode
    /// Collation Algorithm. Throws std::bad_alloc when there is no memory for it.
    explicit TextOrder(std::string_view locale = {});
    ~TextOrder();
    TextOrder(const TextOrder&) = delete;
    TextOrder& operator=(const TextOrder&) = delete;

    /// Appends the sort key of `cell`: comparing keys byte by byte orders cells.
    void appendKey(std::string& out, std::string_view cell) const;

    /// The locale whose rules are in use, as ICU names it ("root" for the root order).
    std::string ruleLocale() const;

    /// Whether cells made only of digits and the - . / of numbers and dates order under these
    /// rules as their bytes do, so that a column of them can be sorted by its cells themselves.
    bool ordersPlainCellsAsBytes() const { return plainAsBytes_; }

private:
    // The collation, defined with the half of this class that makes keys.
    struct Rules;

    // Whether plain cells order as their bytes under the rules in use: the same check whatever
    // the platform, made once the rules are in place.
    bool checkPlainCells() const;

    std::unique_ptr<Rules> rules_;
    bool plainAsBytes_;
};

/// The root order, shared by every list that was given no other.
const std::shared_ptr<const TextOrder>& rootOrder();

/// The table rows of `list` ordered by `column` ascending in `order`; records with equal keys
/// keep their relative order.
RowNumbers orderedRows(const RecordList& list, std::size_t column, const TextOrder& order);

}  // namespace sorvane::core
