#include "text_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace sorvane::core {
namespace {

// The scans read sixteen bytes at a time; on random text of every length around the block
// edges, each must give what a byte at a time gives.
TEST(TextScanTest, MatchesAByteAtATimeOnRandomText) {
    std::mt19937 rng(11);
    const char alphabet[] = {'a', ' ', '\t', '\r', '\n', '\0', '\xff'};
    for (int round = 0; round < 3000; ++round) {
        std::string text(rng() % (round % 100 ? 70 : 9000), 'a');
        for (char& ch : text) ch = alphabet[rng() % (round % 2 ? 3 : sizeof alphabet)];
        const std::string_view view(text);
        EXPECT_EQ(countOf(view, '\r'), static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')));

        std::string copy(text.size() + 1, '#');
        const RowMarks marks = copyRow(view, copy.data());
        EXPECT_EQ(copy, text + '#');
        EXPECT_EQ(marks.tabs, static_cast<std::size_t>(std::count(text.begin(), text.end(), '\t')));
        EXPECT_EQ(marks.spaces, text.find(' ') != std::string::npos);

        const std::size_t from = text.empty() ? 0 : rng() % text.size();
        const std::size_t cr = text.find('\r', from);
        const std::size_t end = cr == std::string::npos ? text.size() : cr;
        const RowScan scan = scanRow(view, from);
        ASSERT_EQ(scan.end, end) << ::testing::PrintToString(text);
        EXPECT_EQ(scan.tabs, static_cast<std::size_t>(std::count(text.begin() + from, text.begin() + end, '\t')));
        EXPECT_EQ(scan.lineFeeds, static_cast<std::size_t>(std::count(text.begin() + from, text.begin() + end, '\n')));
        const std::size_t either = std::min(end, std::min(text.find('\n', from), text.size()));
        const RowScan lfScan = scanRow(view, from, true);
        ASSERT_EQ(lfScan.end, either) << ::testing::PrintToString(text);
        EXPECT_EQ(lfScan.tabs, static_cast<std::size_t>(std::count(text.begin() + from, text.begin() + either, '\t')));
        EXPECT_EQ(lfScan.lineFeeds, 0u);
    }
}

}  // namespace
}  // namespace sorvane::core
