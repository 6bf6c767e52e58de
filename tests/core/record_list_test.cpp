#include "record_list.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace sorvane::core
