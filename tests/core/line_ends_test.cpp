#include "line_ends.h"

#include "clipboard_text.h"

#include <gtest/gtest.h>

#include <random>

#include "record_reader.h"
#include "test_lists.h"

namespace sorvane::core {
namespace {

struct LineEndCase {
    const char* name;
    std::string in;
    std::string out;
    friend void PrintTo(const LineEndCase& c, std::ostream* os) { *os << c.name; }
};

class LineEndsTest : public ::testing::TestWithParam<LineEndCase> {};

// Clipboard text from every platform reads as the out text does: the bytes cleaned up, and a
// lone LF outside quoted cells ending a row as a CR does, whether or not the text is rewritten.
TEST_P(LineEndsTest, LoneLfOutsideQuotedCellsEndsARow) {
    const auto expected = testing::cellsOf(testing::listOf(GetParam().out));
    EXPECT_EQ(testing::cellsOf(testing::listOf(recordsTextOfUtf8(GetParam().in))), expected);
    EXPECT_EQ(testing::cellsOf(testing::listOf(recordsTextOfUtf16(utf16Of(GetParam().in)))),
              expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineEndsTest,
    ::testing::Values(
        LineEndCase{"LoneLf", "a\tb\nc\n", "a\tb\rc\r"},
        LineEndCase{"CrLfStays", "a\r\nb\r\n", "a\r\nb\r\n"},
        LineEndCase{"LoneCrStays", "a\rb\r", "a\rb\r"},
        LineEndCase{"LeadingLf", "\nx", "\rx"},
        LineEndCase{"CrLfThenLf", "a\r\n\nb", "a\r\n\rb"},
        LineEndCase{"TwoLfs", "a\n\nb", "a\r\rb"},
        LineEndCase{"Mixed", "a\nb\r\nc\rd\n", "a\rb\r\nc\rd\r"},
        LineEndCase{"Empty", "", ""},
        LineEndCase{"QuotedCellKeepsItsLf", "k1\t\"Alpha\nBeta\"\tx\n", "k1\t\"Alpha\nBeta\"\tx\r"},
        LineEndCase{"QuotedFirstCellAfterRowEnd", "x\n\"a\nb\"\n", "x\r\"a\nb\"\r"},
        LineEndCase{"DoubledQuotesDoNotClose", "\"say \"\"hi\nyou\"\"\"\n",
                    "\"say \"\"hi\nyou\"\"\"\r"},
        LineEndCase{"ClosedByTheEndOfTheText", "\"a\nb\"", "\"a\nb\""},
        LineEndCase{"QuoteFollowedByTextIsNoQuotedCell", "\"Quoted\" first\ta\nsecond\tb\n",
                    "\"Quoted\" first\ta\rsecond\tb\r"},
        LineEndCase{"UnclosedQuote", "\"open\na\n", "\"open\ra\r"},
        LineEndCase{"QuoteInsideACell", "say \"a\nb\"\n", "say \"a\rb\"\r"},
        LineEndCase{"CrInsideQuotesStays", "\"a\rb\nc\"\tx\n", "\"a\rb\nc\"\tx\r"},
        // Each invalid sequence reads as one U+FFFD over its longest valid start; nothing else
        // of the text is lost. A byte order mark in front is no part of the first cell.
        LineEndCase{"ByteOrderMarkDropped", "\xEF\xBB\xBF" "a\tb\n", "a\tb\r"},
        LineEndCase{"InvalidBytes", "n\xFF\xFEok\n", "n\uFFFD\uFFFDok\r"},
        LineEndCase{"TruncatedSequences", "\xE2\x82\tx\xF0\x9F\x98\n", "\uFFFD\tx\uFFFD\r"},
        LineEndCase{"OverlongAndSurrogate", "\xC0\x80\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        LineEndCase{"ValidAfterLongAscii", "0123456789abcdef\xC3\xA9\xF0\x9F\x98\x80\n",
                    "0123456789abcdef\u00E9\U0001F600\r"}),
    [](const auto& info) { return std::string(info.param.name); });

// The rule spelled out a character at a time, for comparison with the function on random text.
std::string literalLineEnds(std::string t) {
    const std::string original = t;
    bool cellStart = true;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (cellStart && t[i] == '"') {
            std::size_t j = i + 1;
            bool quoted = false;
            while (j < t.size()) {
                if (t[j] == '"' && j + 1 < t.size() && t[j + 1] == '"') {
                    j += 2;
                } else if (t[j] == '"') {
                    quoted = j + 1 == t.size() || std::string("\t\r\n").find(t[j + 1]) != std::string::npos;
                    break;
                } else {
                    ++j;
                }
            }
            if (quoted) {
                i = j;
                cellStart = false;
                continue;
            }
        }
        if (t[i] == '\n' && (i == 0 || original[i - 1] != '\r')) t[i] = '\r';
        cellStart = t[i] == '\t' || t[i] == '\r' || t[i] == '\n';
    }
    return t;
}

TEST(LineEndsProperty, MatchesTheLiteralRuleOnlyTurnsLoneLfsIntoCrsAndIsIdempotent) {
    // Read without rewriting, or rewritten, the clipboard's text gives the same records.
    auto cellsRead = [](const std::string& text) {
        return testing::cellsOf(testing::listOf(recordsTextOfUtf8(text)));
    };
    std::mt19937 rng(7);
    const char alphabet[] = {'a', '"', '"', '\t', '\r', '\n', '\n', ' '};
    for (int round = 0; round < 20000; ++round) {
        std::string text(rng() % 24, ' ');
        for (char& ch : text) ch = alphabet[rng() % sizeof alphabet];
        const std::string once = normalizeLineEnds(text);
        ASSERT_EQ(once, literalLineEnds(text)) << ::testing::PrintToString(text);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (once[i] == text[i]) continue;
            ASSERT_TRUE(text[i] == '\n' && once[i] == '\r' && (i == 0 || text[i - 1] != '\r'))
                << ::testing::PrintToString(text) << " at " << i;
        }
        ASSERT_EQ(testing::cellsOf(testing::listOf(normalizeLineEnds(once))),
                  testing::cellsOf(testing::listOf(once)))
            << ::testing::PrintToString(text);
        ASSERT_EQ(cellsRead(text), testing::cellsOf(testing::listOf(once)))
            << ::testing::PrintToString(text);
    }
}

// Windows' clipboard holds UTF-16: a pair of surrogates is one character, a lone one U+FFFD.
TEST(ClipboardUtf16, PairsJoinLoneSurrogatesAreReplaced) {
    const std::u16string text = u"\uFEFFa\U0001F600\t\xD800" u"b\xDC00\r\n";
    EXPECT_EQ(recordsTextOfUtf16(text).view(), "a\U0001F600\t\uFFFDb\uFFFD\r\n");
    EXPECT_EQ(utf16Of("a\U0001F600\xFF"), u"a\U0001F600\uFFFD");
    EXPECT_EQ(utf16Length("\xC3\xA9\U0001F600"), 3u);
    // A text of millions of units is converted in parts, and no cut between them parts a pair:
    // after the a, every other unit begins one.
    std::u16string pairs = u"a";
    std::string expected = "a";
    for (int i = 0; i < (1 << 21); ++i) {
        pairs += u"\U0001F600";
        expected += "\U0001F600";
    }
    EXPECT_TRUE(recordsTextOfUtf16(pairs).view() == expected);
}

}  // namespace
}  // namespace sorvane::core
