#include "comparison.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <random>

#include "literal_pairing.h"
#include "record_writer.h"
#include "test_lists.h"

namespace sorvane::core {
namespace {

using testing::listOf;
using Positions = RowNumbers;

ChooserTexts texts(std::array<std::string, 4> one, std::array<std::string, 4> two) {
    return ChooserTexts{std::move(one), std::move(two)};
}

// --- Refusals -----------------------------------------------------------------------------

struct RefusalCase {
    const char* name;
    std::string list1;
    std::string list2;
    ChooserTexts texts;
    std::string message;
    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, RefusesWithTheExactMessage) {
    const auto& c = GetParam();
    const auto result = compareLists(listOf(c.list1), listOf(c.list2), c.texts);
    ASSERT_TRUE(std::holds_alternative<Refusal>(result));
    EXPECT_EQ(std::get<Refusal>(result).message, c.message);
}

const std::string kFive = "a\tb\tc\td\te\r";
const std::string kThree = "a\tb\tc\r";
std::string badColumn(const char* ordinal, const std::string& text, int list, int count) {
    return std::string("The ") + ordinal + " comparison names column \"" + text + "\" of List " +
           std::to_string(list) + ", which does not exist. Choose a column from 1 to " +
           std::to_string(count) + ".";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusalTest,
    ::testing::Values(
        RefusalCase{"BothListsEmpty", "", "", texts({"1"}, {"1"}),
                    "To make the comparison it is necessary that List 1 contains at least one "
                    "record."},
        RefusalCase{"List2EmptyNoRowChosen", "a\r", "", texts({}, {}),
                    "To make the comparison it is necessary that List 2 contains at least one "
                    "record."},
        RefusalCase{"FirstRowIncompleteSecondComplete", "a\r", "a\r", texts({"1", "1"}, {"", "1"}),
                    "To make the comparison it is necessary to select the rows to compare."},
        RefusalCase{"Word", kFive, kThree, texts({"1", "abc"}, {"1", "2"}),
                    badColumn("2nd", "abc", 1, 5)},
        RefusalCase{"Zero", kFive, kThree, texts({"0"}, {"1"}), badColumn("1st", "0", 1, 5)},
        RefusalCase{"Fraction", kFive, kThree, texts({"2.5"}, {"1"}), badColumn("1st", "2.5", 1, 5)},
        RefusalCase{"BeyondColumns", kFive, kThree, texts({"99"}, {"1"}),
                    badColumn("1st", "99", 1, 5)},
        RefusalCase{"OnlySpaces", kFive, kThree, texts({"1", "", "  "}, {"1", "", "1"}),
                    badColumn("3rd", "  ", 1, 5)},
        RefusalCase{"Negative", kFive, kThree, texts({"-1"}, {"1"}), badColumn("1st", "-1", 1, 5)},
        RefusalCase{"Huge", kFive, kThree, texts({"99999999999999999999"}, {"1"}),
                    badColumn("1st", "99999999999999999999", 1, 5)},
        RefusalCase{"ArabicIndicDigit", kFive, kThree, texts({"\u0663"}, {"1"}),
                    badColumn("1st", "\u0663", 1, 5)},
        RefusalCase{"List2SideOfFourthRow", kFive, kThree, texts({"1", "", "", "5"}, {"1", "", "", "4"}),
                    badColumn("4th", "4", 2, 3)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChosenColumnsTest, AcceptsSpacedAndZeroPaddedNumbersAndSkipsHalfChosenRows) {
    const auto result = chosenColumns(listOf(kFive), listOf(kThree),
                                      texts({" 2 ", "abc", "05", "3"}, {"1", "", "3", "002"}));
    ASSERT_TRUE(std::holds_alternative<std::vector<ColumnPair>>(result));
    EXPECT_EQ(std::get<std::vector<ColumnPair>>(result),
              (std::vector<ColumnPair>{{1, 0}, {4, 2}, {2, 1}}));
}

// --- Pairing: each case runs on both engines ---------------------------------------------

struct PairingCase {
    const char* name;
    std::string list1;
    std::string list2;
    ChooserTexts texts;
    Outcome outcome;
    friend void PrintTo(const PairingCase& c, std::ostream* os) { *os << c.name; }
};

class PairingTest : public ::testing::TestWithParam<std::tuple<PairingCase, Pairing>> {};

TEST_P(PairingTest, PairsFirstFitOneToOne) {
    const auto& [c, pairing] = GetParam();
    const auto result = compareLists(listOf(c.list1), listOf(c.list2), c.texts, pairing);
    ASSERT_TRUE(std::holds_alternative<Outcome>(result));
    EXPECT_EQ(std::get<Outcome>(result), c.outcome);
}

Outcome outcome(Positions m1, Positions m2, Positions u1, Positions u2) {
    return Outcome{std::move(m1), std::move(m2), std::move(u1), std::move(u2)};
}

const ChooserTexts kFirstColumns = texts({"1"}, {"1"});

INSTANTIATE_TEST_SUITE_P(
    Cases, PairingTest,
    ::testing::Combine(
        ::testing::Values(
            PairingCase{"DuplicatesInList1", "x\rx\r", "x\r", kFirstColumns,
                        outcome({0}, {0}, {1}, {})},
            PairingCase{"DuplicatesInList2", "x\r", "x\rx\r", kFirstColumns,
                        outcome({0}, {0}, {}, {1})},
            PairingCase{"ThreeEach", "x\rx\rx\r", "x\rx\rx\r", kFirstColumns,
                        outcome({0, 1, 2}, {0, 1, 2}, {}, {})},
            PairingCase{"CaseCounts", "ABC\r", "abc\r", kFirstColumns, outcome({}, {}, {0}, {0})},
            PairingCase{"OuterSpacesIgnoredInnerCount", " abc \ra b\r", "ab\rabc\r",
                        kFirstColumns, outcome({0}, {1}, {1}, {0})},
            PairingCase{"EmptyAgreesWithSpaces", "\r   \r", "  \r\r", kFirstColumns,
                        outcome({0, 1}, {0, 1}, {}, {})},
            PairingCase{"NumbersAreText", "1\r1,000\r", "01\r1.0\r1.00\r1000\r", kFirstColumns,
                        outcome({}, {}, {0, 1}, {0, 1, 2, 3})},
            PairingCase{"TwoRowsMustBothAgree", "k\t1\r", "k\t2\rk\t1\r",
                        texts({"1", "2"}, {"1", "2"}), outcome({0}, {1}, {}, {0})},
            PairingCase{"SameColumnsTwice", "k\t1\r", "k\t2\r", texts({"1", "1"}, {"1", "1"}),
                        outcome({0}, {0}, {}, {})},
            PairingCase{"CrossedColumns", "a\tk\r", "k\ta\r", texts({"2"}, {"1"}),
                        outcome({0}, {0}, {}, {})},
            PairingCase{"FirstFreeEvenWhenALaterOneAgrees", "x\ry\rx\r", "x\rx\ry\r",
                        kFirstColumns, outcome({0, 1, 2}, {0, 2, 1}, {}, {})},
            // 1st and 3rd rows chosen with the 2nd empty: both chosen rows take part.
            PairingCase{"ChosenRowAfterAGap", "k\t-\t1\rk\t-\t2\r", "k\t+\t2\rk\t+\t3\r",
                        texts({"1", "", "3"}, {"1", "", "3"}), outcome({1}, {0}, {0}, {1})},
            PairingCase{"HalfChosenRowIgnored", "k\t1\r", "k\t2\r", texts({"1", "2"}, {"1", ""}),
                        outcome({0}, {0}, {}, {})},
            PairingCase{"MissingCellsAreEmpty", "k\rk\tv\r", "k\t\rk\tv\r",
                        texts({"1", "2"}, {"1", "2"}), outcome({0, 1}, {0, 1}, {}, {})},
            PairingCase{"NoPair", "a\rb\r", "c\r", kFirstColumns, outcome({}, {}, {0, 1}, {0})},
            PairingCase{"FourRows", "a\tb\tc\td\ra\tb\tc\tX\r", "a\tb\tc\tX\ra\tb\tc\td\r",
                        texts({"1", "2", "3", "4"}, {"1", "2", "3", "4"}),
                        outcome({0, 1}, {1, 0}, {}, {})}),
        ::testing::Values(pairRecords, pairRecordsLiteral)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) == pairRecords ? "Fast" : "Literal");
    });

// The key engine must give exactly what the record-by-record reference gives: the same pairs in
// the same order and the same unmatched rows, on inputs made to collide (duplicates, padded
// spaces, empty and missing cells, case, gaps between chosen rows, ragged rows, sorted lists).
TEST(PairingDifferentialTest, FastEngineEqualsTheReference) {
    std::mt19937 rng(20261207);
    // Keys of seven and eight bytes stand on either side of the engine's packed keys.
    const std::vector<std::string> vocabulary = {"a", " a", "a ", "A", "b", "", " ", "ab", "a b",
                                                 "abcdefg", "abcdefgh", " abcdefg", "abcdefgh ",
                                                 "abcdefghi"};
    auto randomList = [&](int maxRows) {
        std::string text;
        const int rows = rng() % (maxRows + 1);
        for (int r = 0; r < rows; ++r) {
            const int cells = 1 + rng() % 4;
            for (int c = 0; c < cells; ++c) {
                if (c > 0) text += '\t';
                text += vocabulary[rng() % vocabulary.size()];
            }
            text += "\r\n";
        }
        return text;
    };
    int compared = 0;
    for (int round = 0; round < 5000; ++round) {
        // Mostly small lists, where keys collide often; every tenth round long enough to reach
        // the engine's look-ahead and a grown table.
        const int maxRows = round % 10 == 0 ? 400 : 12;
        RecordList list1 = listOf(randomList(maxRows));
        RecordList list2 = listOf(randomList(maxRows));
        if (rng() % 4 == 0) list1.sortBy(rng() % 3);
        if (rng() % 4 == 0) list2.sortBy(rng() % 3);
        ChooserTexts t;
        for (int r = 0; r < 4; ++r) {
            if (r == 0 || rng() % 2) t.list1[r] = std::to_string(1 + rng() % list1.columnCount());
            if (r == 0 || rng() % 2) t.list2[r] = std::to_string(1 + rng() % list2.columnCount());
        }
        const auto fast = compareLists(list1, list2, t);
        const auto literal = compareLists(list1, list2, t, pairRecordsLiteral);
        ASSERT_EQ(fast, literal) << "round " << round;
        if (const auto* out = std::get_if<Outcome>(&literal)) {
            // Long keys that all share one hash word still pair by their text.
            const auto columns = std::get<std::vector<ColumnPair>>(chosenColumns(list1, list2, t));
            ASSERT_EQ(pairRecordsByHashBits(list1, list2, columns, 0), *out) << "round " << round;
        }
        compared += std::holds_alternative<Outcome>(fast);
    }
    EXPECT_GT(compared, 3500);  // most rounds reached the pairing, not a refusal
}

// The pairing by its definition: the k-th record of List 1 with a key pairs with the k-th record
// of List 2 with that key. Independent of the engine's hashing and partitioning, and fast enough
// for lists far larger than the record-by-record reference can take.
Outcome pairByDefinition(const RecordList& list1, const RecordList& list2,
                         const std::vector<ColumnPair>& columns) {
    auto keyOf = [&](const RecordList& list, std::size_t p, bool second) {
        std::vector<std::string> key;
        for (const ColumnPair& c : columns) {
            key.emplace_back(trimSpaces(list.cell(p, second ? c.column2 : c.column1)));
        }
        return key;
    };
    std::map<std::vector<std::string>, std::deque<std::uint32_t>> free2;
    for (std::uint32_t j = 0; j < list2.recordCount(); ++j) free2[keyOf(list2, j, true)].push_back(j);
    Outcome out;
    std::vector<bool> taken(list2.recordCount());
    for (std::uint32_t i = 0; i < list1.recordCount(); ++i) {
        auto& queue = free2[keyOf(list1, i, false)];
        if (queue.empty()) {
            out.unmatched1.push_back(i);
            continue;
        }
        out.matched1.push_back(i);
        out.matched2.push_back(queue.front());
        taken[queue.front()] = true;
        queue.pop_front();
    }
    for (std::uint32_t j = 0; j < list2.recordCount(); ++j) {
        if (!taken[j]) out.unmatched2.push_back(j);
    }
    return out;
}

// Lists of tens of thousands of records, where the engine splits the work by hash.
TEST(PairingDifferentialTest, LargeListsEqualTheDefinition) {
    std::mt19937 rng(99);
    auto randomList = [&](int rows, int keyRange) {
        std::string text;
        for (int r = 0; r < rows; ++r) {
            const int pad = rng() % 8;
            text += pad == 0 ? " " : "";
            text += 'k';
            text += std::to_string(rng() % keyRange);
            text += pad == 1 ? "  \t" : "\t";
            text += std::to_string(rng() % 3);
            text += '\t';
            if (rng() % 4) text += std::string(rng() % 30, 'x');  // long and missing cells
            text += "\r\n";
        }
        return text;
    };
    const std::vector<std::vector<ColumnPair>> choices = {
        {{0, 0}}, {{0, 0}, {1, 1}}, {{1, 1}, {0, 0}, {2, 2}}, {{2, 2}}};
    for (int round = 0; round < 6; ++round) {
        RecordList list1 = listOf(randomList(30000 + round * 7000, 20000));
        RecordList list2 = listOf(randomList(40000 - round * 5000, 20000));
        if (round % 3 == 1) list2.sortBy(1);
        const auto& columns = choices[round % choices.size()];
        const Outcome fast = pairRecords(list1, list2, columns);
        ASSERT_EQ(fast, pairByDefinition(list1, list2, columns)) << "round " << round;
        // With eight bits of hash, long keys collide in some partitions and not in others.
        ASSERT_EQ(pairRecordsByHashBits(list1, list2, columns, 0xFF), fast) << "round " << round;
        EXPECT_GT(fast.matched1.size(), 1000u);
        EXPECT_GT(fast.unmatched1.size(), 1000u);
    }
}

TEST(CellsAgreeTest, TrimsOnlySpaces) {
    EXPECT_TRUE(cellsAgree(" abc ", "abc"));
    EXPECT_TRUE(cellsAgree("", "   "));
    EXPECT_FALSE(cellsAgree("a b", "ab"));
    EXPECT_FALSE(cellsAgree("\tabc", "abc"));
    EXPECT_FALSE(cellsAgree("ABC", "abc"));
}

}  // namespace
}  // namespace sorvane::core
