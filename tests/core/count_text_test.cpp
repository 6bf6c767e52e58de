#include "count_text.h"

#include <gtest/gtest.h>

namespace sorvane::core {
namespace {

TEST(CountTextTest, GroupsDigitsByThreesWithTheGivenCharacter) {
    EXPECT_EQ(countText(0, ","), "0 records.");
    EXPECT_EQ(countText(1, ","), "1 records.");
    EXPECT_EQ(countText(999, ","), "999 records.");
    EXPECT_EQ(countText(1000, ","), "1,000 records.");
    EXPECT_EQ(countText(100000, ","), "100,000 records.");
    EXPECT_EQ(countText(1234567, ","), "1,234,567 records.");
    EXPECT_EQ(countText(1234567, "."), "1.234.567 records.");
    EXPECT_EQ(countText(1234567, "\u00a0"), "1\u00a0234\u00a0567 records.");
    EXPECT_EQ(countText(1234567, ""), "1234567 records.");
    EXPECT_EQ(countText(18446744073709551615ull, ","), "18,446,744,073,709,551,615 records.");
}

}  // namespace
}  // namespace sorvane::core
