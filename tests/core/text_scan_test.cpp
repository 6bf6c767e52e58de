#include "text_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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

// The Windows build and the page bring their own memcmp and memchr, which read sixteen and eight
// bytes at a time: at every length and every place of the first difference or match, they must
// agree with a byte at a time, bytes above 0x7F compared as unsigned.
TEST(TextScanTest, ByteComparisonAndSearchMatchAByteAtATime) {
    std::mt19937 rng(5);
    for (std::size_t size = 0; size < 40; ++size) {
        for (std::size_t at = 0; at <= size; ++at) {
            std::string a(size + 1, 'x');
            for (char& ch : a) ch = static_cast<char>(rng() % 3 ? 'a' + rng() % 4 : 0x80 + rng() % 128);
            std::string b = a;
            if (at < size) b[at] = 'z';  // the one z in either
            const int sign = at == size ? 0 : static_cast<unsigned char>(a[at]) < 'z' ? -1 : 1;
            const int got = std::memcmp(a.data(), b.data(), size);
            EXPECT_EQ((got > 0) - (got < 0), sign) << size << " " << at;
            const void* z = std::memchr(b.data(), 'z', size);
            EXPECT_EQ(z, at < size ? b.data() + at : nullptr) << size << " " << at;
        }
    }
}

}  // namespace
}  // namespace sorvane::core
