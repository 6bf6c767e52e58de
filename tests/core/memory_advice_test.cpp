#include "memory_advice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "record_list.h"

namespace sorvane::core {
namespace {

// Giving back the end of a room's last huge page must leave every used byte as it was, and the
// room still usable up to its capacity.
TEST(MemoryAdviceTest, GivingBackTheUnusedEndKeepsWhatIsUsed) {
    std::string text;
    growWithHugePages(text, std::size_t{8} << 20);
    // Ten bytes into a huge page inside the room, wherever the room starts.
    const auto start = reinterpret_cast<std::uintptr_t>(text.data());
    const std::size_t size =
        ((start + (std::size_t{3} << 20)) & ~((std::uintptr_t{2} << 20) - 1)) + 10 - start;
    for (std::size_t i = 0; text.size() < size; ++i) text += char('a' + i % 26);
    const std::string before = text;
    giveBackUnusedEnd(text);
    EXPECT_EQ(text, before);
    text.append(std::size_t{2} << 20, 'z');
    EXPECT_EQ(text.compare(0, before.size(), before), 0);

    RowNumbers rows;
    rows.reserve(600'000);  // more than 2 MB: a room of two huge pages, the second mostly unused
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(rows.data()) % (std::uintptr_t{2} << 20), 0u);
    for (std::uint32_t i = 0; i < 600'000; ++i) rows.push_back(i * 7);
    giveBackUnusedEnd(rows);
    for (std::uint32_t i = 0; i < 600'000; ++i) ASSERT_EQ(rows[i], i * 7);
}

}  // namespace
}  // namespace sorvane::core
