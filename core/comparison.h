#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "record_list.h"

namespace sorvane::core {

/// The number of comparison rows, each a column chooser of List 1 beside one of List 2.
inline constexpr std::size_t kComparisonRows = 4;

/// The texts of the eight column choosers: comparison row r is (list1[r], list2[r]).
struct ChooserTexts {
    std::array<std::string, kComparisonRows> list1;
    std::array<std::string, kComparisonRows> list2;
};

/// The 0-based columns that one chosen comparison row compares.
struct ColumnPair {
    std::size_t column1;
    std::size_t column2;
    bool operator==(const ColumnPair&) const = default;
};

/// Why a comparison does not run: the message shown to the user.
struct Refusal {
    std::string message;
    bool operator==(const Refusal&) const = default;
};

/// A comparison's result, as positions (0-based) in the order the input lists show.
struct Outcome {
    RowNumbers matched1;    ///< List 1 side of each pair, in the order found
    RowNumbers matched2;    ///< partner of matched1[k] in List 2
    RowNumbers unmatched1;  ///< List 1 records without a partner, ascending
    RowNumbers unmatched2;  ///< List 2 records without a partner, ascending
    bool operator==(const Outcome&) const = default;
};

/// A pairing of the records of two lists on the given column pairs; pairRecords unless a test
/// or a bench compares it with another.
using Pairing = Outcome (*)(const RecordList& list1, const RecordList& list2,
                            const std::vector<ColumnPair>& columns);

/// The refusals, in the order they are checked: an empty List 1, an empty List 2, an incomplete
/// 1st comparison row, then any chosen row whose text names no column of its list. Otherwise
/// the columns of every chosen row (both texts non-empty), in row order.
std::variant<Refusal, std::vector<ColumnPair>> chosenColumns(const RecordList& list1,
                                                             const RecordList& list2,
                                                             const ChooserTexts& texts);

/// Whether two cells agree: equal once the spaces at both ends are removed.
bool cellsAgree(std::string_view a, std::string_view b);

/// Pairs each record of List 1, in order, with the first still-free record of List 2 that
/// agrees with it on every column pair; the rest have no partner. By key, in time linear in
/// the records.
Outcome pairRecords(const RecordList& list1, const RecordList& list2,
                    const std::vector<ColumnPair>& columns);

/// The fast pairing with a key of over seven bytes told apart, before its text is compared, by
/// only the bits of its hash that `hashBits` keeps: lets tests make different keys collide.
Outcome pairRecordsByHashBits(const RecordList& list1, const RecordList& list2,
                              const std::vector<ColumnPair>& columns, std::uint64_t hashBits);

/// The most scratch memory the pairing holds at once for lists of `records1` and `records2`
/// records, in bytes: its pairing entries, while it deals out a list's records by their keys.
std::uint64_t pairingScratchBytes(std::size_t records1, std::size_t records2);

/// The whole comparison: chosenColumns, then the pairing.
std::variant<Refusal, Outcome> compareLists(const RecordList& list1, const RecordList& list2,
                                            const ChooserTexts& texts,
                                            Pairing pairing = pairRecords);

}  // namespace sorvane::core
