#include "csv_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "test_lists.h"

namespace sorvane::core {
namespace {

using testing::cellsOf;
using testing::listOf;
using testing::Rows;

struct CsvCase {
    const char* name;
    std::string text;
    char separator;
    Rows rows;  // every record with as many cells as the widest
    friend void PrintTo(const CsvCase& c, std::ostream* os) { *os << c.name; }
};

// Each case read from a text that others read too, as a mapped file is: it must come out right
// and leave that text as it was.
class CsvTest : public ::testing::TestWithParam<CsvCase> {};

TEST_P(CsvTest, ReadsFieldsAsRecordCells) {
    const CsvCase& c = GetParam();
    const auto source = std::make_shared<const std::string>(c.text);
    const TextBuffer shared = TextBuffer::shared(source->data(), source->size(), source,
                                                 source->size());
    EXPECT_EQ(cellsOf(listOf(recordsTextOfCsv(shared, c.separator))), c.rows);
    EXPECT_EQ(*source, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvTest,
    ::testing::Values(
        CsvCase{"PlainFields", "a,b\r\nc,d\r\n", ',', {{"a", "b"}, {"c", "d"}}},
        CsvCase{"LfAndLoneCrRows", "a,b\nc,d\re,f", ',', {{"a", "b"}, {"c", "d"}, {"e", "f"}}},
        CsvCase{"QuotedSeparator", "\"a,b\",c\r\n", ',', {{"a,b", "c"}}},
        CsvCase{"DoubledQuotes", "\"say \"\"hi\"\"\",x\n", ',', {{"say \"hi\"", "x"}}},
        CsvCase{"LineBreaksInQuotesAreJoined", "\"one\r\ntwo\nthree\",x\r\ny,z\r\n", ',',
                {{"onetwothree", "x"}, {"y", "z"}}},
        CsvCase{"QuoteInsideUnquotedFieldStays", "a\"b,c\n", ',', {{"a\"b", "c"}}},
        CsvCase{"TabInFieldBecomesSpace", "a\tb,c\n", ',', {{"a b", "c"}}},
        CsvCase{"SpacesStay", " a , b \n", ',', {{" a ", " b "}}},
        CsvCase{"EmptyFieldsAndEmptyLine", ",,x\n\ny\n", ',', {{"", "", "x"}, {"", "", ""},
                                                             {"y", "", ""}}},
        CsvCase{"NoFinalLineBreak", "a,b\nc", ',', {{"a", "b"}, {"c", ""}}},
        CsvCase{"LastFieldEmpty", "a,", ',', {{"a", ""}}},
        CsvCase{"OnlyAnEmptyQuotedField", "\"\"", ',', {{""}}},
        CsvCase{"UnterminatedQuoteRunsToTheEnd", "a,\"b,c\nd", ',', {{"a", "b,cd"}}},
        CsvCase{"SemicolonSeparator", "1,5;\"x;y\"\r\n", ';', {{"1,5", "x;y"}}},
        CsvCase{"EmptyText", "", ',', {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sorvane::core
