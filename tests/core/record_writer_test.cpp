#include "record_writer.h"

#include <gtest/gtest.h>

#include <random>

#include "test_lists.h"

namespace sorvane::core {
namespace {

using testing::cellsOf;
using testing::listOf;

TEST(WriterTest, TrimsOuterSpacesKeepsInnerOnesAndEndsRowsWithCr) {
    const RecordList list = listOf("a\tb\tc\r  x  y \t\tz\r");
    EXPECT_EQ(writeRecords(list), "a\tb\tc\rx  y\t\tz\r");
}

TEST(WriterTest, ShortRecordsGetEmptyCellsUpToTheColumnCount) {
    RecordList list = listOf("a\r b \tc\r");
    list.growColumns(4);
    EXPECT_EQ(writeRecords(list), "a\t\t\t\rb\tc\t\t\r");
}

TEST(WriterTest, OneColumnAndCellsOfOnlySpaces) {
    EXPECT_EQ(writeRecords(listOf("x\r   \r y\r")), "x\r\ry\r");
}

TEST(WriterTest, EmptyListGivesEmptyText) { EXPECT_EQ(writeRecords(RecordList()), ""); }

TEST(WriterTest, WritesInTheOrderShown) {
    RecordList list = listOf("b\t1\ra\t2\r");
    list.sortBy(0);
    EXPECT_EQ(writeRecords(list), "a\t2\rb\t1\r");
}

TEST(TrimSpacesTest, RemovesOnlySpacesAtBothEnds) {
    EXPECT_EQ(trimSpaces("  a b  "), "a b");
    EXPECT_EQ(trimSpaces("\ta\t"), "\ta\t");
    EXPECT_EQ(trimSpaces("   "), "");
    EXPECT_EQ(trimSpaces(""), "");
}

// What Copy records writes, Paste records reads back: the same records and cells in the same
// order, less outer spaces, with as many columns.
TEST(WriterTest, RoundTripKeepsEveryCellUpToOuterSpaces) {
    std::mt19937 rng(7);
    const char alphabet[] = {'a', 'B', ' ', '"', '\x01', '9'};
    for (int round = 0; round < 200; ++round) {
        std::string text;
        const int rows = rng() % 6;
        for (int r = 0; r < rows; ++r) {
            const int cells = 1 + rng() % 5;
            for (int c = 0; c < cells; ++c) {
                if (c > 0) text += '\t';
                for (int k = rng() % 4; k > 0; --k) text += alphabet[rng() % sizeof alphabet];
            }
            text += "\r\n";
        }
        const RecordList original = listOf(text);
        const RecordList back = listOf(writeRecords(original));
        ASSERT_EQ(back.recordCount(), original.recordCount()) << text;
        if (original.recordCount() > 0) {
            ASSERT_EQ(back.columnCount(), original.columnCount()) << text;
        }
        auto expected = cellsOf(original);
        for (auto& row : expected) {
            for (auto& cell : row) cell = std::string(trimSpaces(cell));
        }
        ASSERT_EQ(cellsOf(back), expected) << text;
    }
}

}  // namespace
}  // namespace sorvane::core
