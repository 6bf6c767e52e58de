#include "record_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "test_lists.h"

namespace sorvane::core {
namespace {

using testing::Rows;

// Cells of a table exactly as stored: each row as many cells as it received.
Rows storedCells(const RecordTable& table) {
    Rows rows;
    for (std::size_t r = 0; r < table.rowCount(); ++r) {
        auto& row = rows.emplace_back();
        const std::string_view line = table.row(r);
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            row.emplace_back(line.substr(start, tab - start));
            if (tab == std::string_view::npos) break;
            start = tab + 1;
        }
    }
    return rows;
}

struct ReaderCase {
    const char* name;
    std::string text;
    Rows rows;
    friend void PrintTo(const ReaderCase& c, std::ostream* os) { *os << c.name; }
};

// Each case is read with row starts of four bytes, and again of eight, as a text over 4 GiB
// would have them.
class ReaderTest : public ::testing::TestWithParam<std::tuple<ReaderCase, bool>> {};

TEST_P(ReaderTest, SplitsTextIntoRowsAndCells) {
    const auto& [c, wide] = GetParam();
    RecordReader reader(c.text, wide ? 0 : SIZE_MAX);
    reader.read();
    const RecordTable table = reader.take();
    EXPECT_EQ(storedCells(table), c.rows);
    std::size_t widest = 0;
    for (const auto& row : c.rows) widest = std::max(widest, row.size());
    EXPECT_EQ(table.widestRow(), widest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderTest,
    ::testing::Combine(::testing::Values(
        ReaderCase{"PlainCells", "Ann\t12\rBob\t7\tx\r", {{"Ann", "12"}, {"Bob", "7", "x"}}},
        ReaderCase{"CrLfRowEnds", "Ann\t12\r\nBob\t7\tx\r\n", {{"Ann", "12"}, {"Bob", "7", "x"}}},
        ReaderCase{"LoneCrRowEnds", "a\rb\rc\r", {{"a"}, {"b"}, {"c"}}},
        // LF alone ends nothing; the unterminated end of the text still ends the row.
        ReaderCase{"LoneLf", "a\tb\nc\td\n", {{"a", "bc", "d"}}},
        ReaderCase{"EmptyLines", "a\r\n\r\nb\r\n", {{"a"}, {""}, {"b"}}},
        ReaderCase{"EmptyCells", "\t\tx\r", {{"", "", "x"}}},
        ReaderCase{"SpacesStay", " a \t  \r", {{" a ", "  "}}},
        ReaderCase{"QuotedCellWithLineBreak", "\"one\ntwo\"\tz\r\n", {{"\"onetwo\"", "z"}}},
        // A row that moves to drop its LFs leaves nothing of itself before the rows after it.
        ReaderCase{"RowsAfterOneThatMoved", "\rx\nyz\t1\r\n\r\nw\r\n\nv",
                   {{""}, {"xyz", "1"}, {""}, {"w"}, {"v"}}},
        ReaderCase{"ManyLineFeedsBetweenRows", "a\r" + std::string(100, '\n') + "b\tc\r\nd",
                   {{"a"}, {"b", "c"}, {"d"}}},
        ReaderCase{"NoFinalLineBreak", "a\tb", {{"a", "b"}}},
        ReaderCase{"SingleCellNoLineBreak", "a", {{"a"}}},
        ReaderCase{"TabAtEnd", "a\t", {{"a", ""}}},
        ReaderCase{"FinalLineFeedsOnly", "a\r\n\n\n", {{"a"}}},
        ReaderCase{"Empty", "", {}},
        ReaderCase{"OnlyLineFeeds", "\n\n", {}},
        ReaderCase{"ControlCharactersAndNul", std::string("a\0b\x01\tc\r", 7),
                   {{std::string("a\0b\x01", 4), "c"}}},
        ReaderCase{"Utf8", "Zoë\t東京\r\nÅsa\t€\r\n", {{"Zoë", "東京"}, {"Åsa", "€"}}}),
        ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "Wide" : "");
    });

// The text of cell c of row r in the wide-row test.
std::string cellLabel(std::size_t r, std::size_t c) {
    std::string label = std::to_string(r);
    label += ':';
    label += std::to_string(c);
    return label;
}

// Very wide rows are reached through checkpoints; every cell must still be the right one,
// also in a table that mixes wide and narrow rows.
TEST(ReaderWideRows, EveryCellOfMixedWideAndNarrowRows) {
    const std::vector<std::size_t> widths = {3, 1000, 1, 64, 65, 130, 2};
    std::string text;
    for (std::size_t r = 0; r < widths.size(); ++r) {
        for (std::size_t c = 0; c < widths[r]; ++c) {
            if (c > 0) text += '\t';
            text += cellLabel(r, c);
        }
        text += "\r\n";
    }
    const RecordTable table = readRecords(text);
    ASSERT_EQ(table.rowCount(), widths.size());
    EXPECT_EQ(table.widestRow(), 1000u);
    for (std::size_t r = 0; r < widths.size(); ++r) {
        for (std::size_t c = 0; c < widths[r] + 70; ++c) {
            const std::string expected = c < widths[r] ? cellLabel(r, c) : "";
            ASSERT_EQ(table.cell(r, c), expected) << "row " << r << " cell " << c;
        }
    }
}

TEST(ReaderTake, KeepsRowsAndLeavesReaderEmpty) {
    RecordReader reader(std::string("x\ty\rz\r"));
    reader.read();
    EXPECT_TRUE(reader.done());
    EXPECT_EQ(reader.rowCount(), 2u);
    const RecordTable table = reader.take();
    EXPECT_EQ(table.rowCount(), 2u);
    EXPECT_EQ(table.cell(1, 0), "z");
    EXPECT_EQ(reader.rowCount(), 0u);
}

}  // namespace
}  // namespace sorvane::core
