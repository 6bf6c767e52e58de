#include "text_order.h"

#include <gtest/gtest.h>

#include "test_lists.h"

namespace sorvane::core {
namespace {

using testing::firstCells;
using testing::listOf;

std::vector<std::string> sortedFirstCells(const std::string& text) {
    RecordList list = listOf(text);
    list.sortBy(0);
    return firstCells(list);
}

TEST(TextOrderTest, CaseDoesNotSeparateWords) {
    EXPECT_EQ(sortedFirstCells("cherry\rBanana\rapple\rBanjo\r"),
              (std::vector<std::string>{"apple", "Banana", "Banjo", "cherry"}));
}

TEST(TextOrderTest, DigitsAreText) {
    EXPECT_EQ(sortedFirstCells("9\r10\r100\r2\r"),
              (std::vector<std::string>{"10", "100", "2", "9"}));
}

TEST(TextOrderTest, AccentedLettersSortWithTheirBaseLetter) {
    EXPECT_EQ(sortedFirstCells("Zoe\rÉmile\reva\rÄrger\rbob\r"),
              (std::vector<std::string>{"Ärger", "bob", "Émile", "eva", "Zoe"}));
}

TEST(TextOrderTest, EqualKeysKeepTheirOrder) {
    RecordList list = listOf("b\t1\rB\t2\ra\t3\rb\t4\rA\t5\r");
    list.sortBy(0);
    std::vector<std::string> second;
    for (std::size_t r = 0; r < list.recordCount(); ++r) second.emplace_back(list.cell(r, 1));
    EXPECT_EQ(second, (std::vector<std::string>{"3", "5", "1", "2", "4"}));
}

TEST(TextOrderTest, LongKeysSharingAPrefixAndEmptyCells) {
    EXPECT_EQ(sortedFirstCells("abcdefghij2\rabcdefghij10\r\rabcdefgh\r"),
              (std::vector<std::string>{"", "abcdefgh", "abcdefghij10", "abcdefghij2"}));
}

TEST(TextOrderTest, OrderKeyFoldsCaseAndLatinAccents) {
    std::string key;
    appendOrderKey(key, "ÆbleÇaßÞ×Z");
    EXPECT_EQ(key, "aeblecassth×z");
}

}  // namespace
}  // namespace sorvane::core
