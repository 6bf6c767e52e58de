#include "line_ends.h"

#include <gtest/gtest.h>

namespace sorvane::core {
namespace {

struct LineEndCase {
    const char* name;
    std::string in;
    std::string out;
    friend void PrintTo(const LineEndCase& c, std::ostream* os) { *os << c.name; }
};

class LineEndsTest : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(LineEndsTest, LoneLfBecomesCrLf) {
    EXPECT_EQ(normalizeLineEnds(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineEndsTest,
    ::testing::Values(LineEndCase{"LoneLf", "a\tb\nc\n", "a\tb\r\nc\r\n"},
                      LineEndCase{"CrLfStays", "a\r\nb\r\n", "a\r\nb\r\n"},
                      LineEndCase{"LoneCrStays", "a\rb\r", "a\rb\r"},
                      LineEndCase{"LeadingLf", "\nx", "\r\nx"},
                      LineEndCase{"CrLfThenLf", "a\r\n\nb", "a\r\n\r\nb"},
                      LineEndCase{"Mixed", "a\nb\r\nc\rd\n", "a\r\nb\r\nc\rd\r\n"},
                      LineEndCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sorvane::core
