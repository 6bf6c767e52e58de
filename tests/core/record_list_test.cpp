#include "record_list.h"

#include <gtest/gtest.h>

#include "record_find.h"
#include "test_lists.h"

namespace sorvane::core {
namespace {

using testing::cellsOf;
using testing::firstCells;
using testing::listOf;
using testing::Rows;

TEST(RecordListTest, NewListHasOneColumnAndNoRecords) {
    const RecordList list;
    EXPECT_EQ(list.columnCount(), 1u);
    EXPECT_EQ(list.recordCount(), 0u);
    EXPECT_FALSE(list.sorted());
    EXPECT_EQ(list.sortKey(), 0u);
}

TEST(RecordListTest, ColumnsOnlyGrowAndMissingCellsReadEmpty) {
    RecordList list = listOf("a\tb\tc\r");
    list.growColumns(2);
    EXPECT_EQ(list.columnCount(), 3u);
    list.setRecords(listOf("x\r").table());
    EXPECT_EQ(list.columnCount(), 3u);
    EXPECT_EQ(cellsOf(list), (Rows{{"x", "", ""}}));
}

TEST(RecordListTest, ClearKeepsColumnsAndSortSettings) {
    RecordList list = listOf("b\tz\ra\ty\r");
    list.sortBy(1);
    list.clear();
    EXPECT_EQ(list.recordCount(), 0u);
    EXPECT_EQ(list.columnCount(), 2u);
    EXPECT_TRUE(list.sorted());
    EXPECT_EQ(list.sortKey(), 1u);
}

TEST(RecordListTest, SecondClickDoesNotReverseAndAnotherColumnReorders) {
    RecordList list = listOf("b\t1\ra\t3\rc\t2\r");
    list.sortBy(0);
    EXPECT_EQ(firstCells(list), (std::vector<std::string>{"a", "b", "c"}));
    list.sortBy(0);
    EXPECT_EQ(firstCells(list), (std::vector<std::string>{"a", "b", "c"}));
    list.sortBy(1);
    EXPECT_EQ(firstCells(list), (std::vector<std::string>{"b", "c", "a"}));
    list.sortBy(0);
    EXPECT_EQ(firstCells(list), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(RecordListTest, SortedListStaysOrderedWhenRefilled) {
    RecordList list;
    list.sortBy(0);
    EXPECT_TRUE(list.sorted());
    list.setRecords(listOf("pear\rApple\rfig\r").table());
    EXPECT_EQ(firstCells(list), (std::vector<std::string>{"Apple", "fig", "pear"}));
    const RecordList source = listOf("d\rc\rb\ra\r");
    list.setRecords(source.table(), {0, 2, 3});
    EXPECT_EQ(firstCells(list), (std::vector<std::string>{"a", "b", "d"}));
}

TEST(RecordListTest, SortingBeyondTheCellsARecordReceivedTreatsThemAsEmpty) {
    RecordList list = listOf("a\tz\rb\rc\ty\r");
    list.sortBy(1);
    EXPECT_EQ(firstCells(list), (std::vector<std::string>{"b", "c", "a"}));
}

// A copy shares the records, so a result list keeps showing rows after its source is replaced.
TEST(RecordListTest, CopiesShareTheTableAndOutliveTheSource) {
    RecordList source = listOf("a\rb\rc\r");
    RecordList result;
    result.setRecords(source.table(), {2, 0});
    source.setRecords(listOf("x\r").table());
    EXPECT_EQ(firstCells(result), (std::vector<std::string>{"c", "a"}));
}

// Typing in a list moves to a record: case set aside, from the record after the focused one
// for one character, from the focused one for a text that goes on, wrapping round.
struct FindCase {
    const char* name;
    std::optional<std::size_t> focused;
    const char* typed;
    std::optional<std::size_t> found;
};

class FindTypedTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindTypedTest, MovesToTheRecordTheRuleNames) {
    const RecordList list =
        listOf("apple\rBanana\rband\rcherry\r\xC3\x89" "clair\r\xD0\x9F\xD0\xA0\xD0\x98\r");
    const FindCase& c = GetParam();
    EXPECT_EQ(findTyped(list, c.focused, c.typed), c.found);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTypedTest,
    ::testing::Values(FindCase{"NoFocusLooksFromTheFirst", std::nullopt, "b", 1},
                      FindCase{"OneCharacterStepsOnFromTheFocus", 1, "b", 2},
                      FindCase{"AndWrapsRound", 2, "B", 1},
                      FindCase{"TheSameCharacterAgainStepsOn", 1, "bb", 2},
                      FindCase{"ALongerTextStaysOnTheFocusWhileItMatches", 1, "ban", 1},
                      FindCase{"ALongerTextMovesOnWhenTheFocusNoLongerMatches", 1, "band", 2},
                      FindCase{"CaseIsSetAsideBeyondAscii", 0, "\xC3\xA9", 4},
                      FindCase{"AndInOtherScripts", 0, "\xD0\xBF\xD1\x80", 5},
                      FindCase{"NothingStartsWithIt", 3, "zebra", std::nullopt},
                      FindCase{"ACellShorterThanTheText", 0, "applesauce", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FindTypedTest, AnEmptyListOrTextFindsNothing) {
    EXPECT_EQ(findTyped(RecordList(), std::nullopt, "a"), std::nullopt);
    EXPECT_EQ(findTyped(listOf("a\r"), 0, ""), std::nullopt);
}

}  // namespace
}  // namespace sorvane::core
