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

// A result list shows part of its table: its room is its own rows', not the whole table's.
TEST(WriterTest, RoomOfPartOfATableHoldsItsRowsAndNoMore) {
    const RecordList all = listOf("a\r" + std::string(100, 'b') + "\r c \r");
    RecordList part;
    part.setRecords(all.table(), RowNumbers{2, 0});
    part.growColumns(3);
    const std::string written = writeRecords(part);
    EXPECT_EQ(written, "c\t\t\ra\t\t\r");
    EXPECT_GE(writtenSizeBound(part), written.size());
    EXPECT_LT(writtenSizeBound(part), 100u);
}

TEST(WriterTest, EmptyListGivesEmptyText) { EXPECT_EQ(writeRecords(RecordList()), ""); }

TEST(WriterTest, WritesInTheOrderShown) {
    RecordList list = listOf("b\t1\ra\t2\r");
    list.sortBy(0);
    EXPECT_EQ(writeRecords(list), "a\t2\rb\t1\r");
}

struct FormatCase {
    const char* name;
    std::string text;  // read as Paste records reads it
    RowFormat format;
    std::string written;
    friend void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }
};

// Each case written whole, and again through rooms just large enough for the next record: the
// parts of a long list, written one after the other, are the whole text.
class FormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, WritesRowsAsTheFormatSays) {
    const FormatCase& c = GetParam();
    const RecordList list = listOf(c.text);
    std::string room(1 << 12, '\0');
    const WrittenPart whole = writeRecordsPart(list, 0, room.data(), room.size(), c.format);
    EXPECT_EQ(whole.records, list.recordCount());
    EXPECT_EQ(room.substr(0, whole.bytes), c.written);

    std::string parts;
    for (std::size_t next = 0; next < list.recordCount();) {
        const std::size_t bound = writtenRecordBound(list, next, c.format);
        EXPECT_EQ(writeRecordsPart(list, next, room.data(), bound - 1, c.format).records, 0u);
        const WrittenPart one = writeRecordsPart(list, next, room.data(), bound, c.format);
        ASSERT_GE(one.records, 1u);
        EXPECT_LE(one.bytes, bound);
        parts.append(room.data(), one.bytes);
        next += one.records;
    }
    EXPECT_EQ(parts, c.written);
}

RowFormat csv(char separator, std::string_view lineEnd) { return {separator, lineEnd, true}; }

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatTest,
    ::testing::Values(
        FormatCase{"CopyRecordsText", "a\t b \r  \tc\td\r", {}, "a\tb\t\r\tc\td\r"},
        FormatCase{"LfLineEnds", "a\tb\rc\r", {'\t', "\n", false}, "a\tb\nc\t\n"},
        FormatCase{"CrLfLineEnds", "a\rb\r", {'\t', "\r\n", false}, "a\r\nb\r\n"},
        FormatCase{"CsvQuotesSeparatorsAndQuotes", "a,b\t\"x\"\t plain \r",
                   csv(',', "\r\n"), "\"a,b\",\"\"\"x\"\"\",plain\r\n"},
        FormatCase{"CsvSemicolonLeavesCommasUnquoted", "1,5\tx;y\r", csv(';', "\n"),
                   "1,5;\"x;y\"\n"},
        FormatCase{"CsvShortRecordsGetEmptyFields", "a\tb\tc\rd\r", csv(',', "\n"),
                   "a,b,c\nd,,\n"}),
    [](const auto& info) { return std::string(info.param.name); });

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
