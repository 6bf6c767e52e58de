#include "memory_advice.h"

#include <gtest/gtest.h>

#include <cstddef>
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
#if !defined(__EMSCRIPTEN__)  // WebAssembly has none: its rooms are as asked
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(rows.data()) % (std::uintptr_t{2} << 20), 0u);
#endif
    for (std::uint32_t i = 0; i < 600'000; ++i) rows.push_back(i * 7);
    giveBackUnusedEnd(rows);
    for (std::uint32_t i = 0; i < 600'000; ++i) ASSERT_EQ(rows[i], i * 7);
}

// A command asked again finds its scratch where it left it: a room given back is taken for the
// same size, lent whole for a smaller one and, given back from there, taken for its whole size
// again. A room a command asks for that no kept room holds is fresh.
TEST(MemoryAdviceTest, ScratchRoomsAreKeptForTheNextCommand) {
    constexpr std::size_t kMb = std::size_t{1} << 20;
    void* const room = allocateScratch(8 * kMb);
    static_cast<char*>(room)[8 * kMb - 1] = 'x';
    freeScratch(room, 8 * kMb);
    void* const again = allocateScratch(8 * kMb);
    EXPECT_EQ(again, room);
    freeScratch(again, 8 * kMb);
    void* const smaller = allocateScratch(3 * kMb);
    EXPECT_EQ(smaller, room);
    freeScratch(smaller, 3 * kMb);
    void* const whole = allocateScratch(8 * kMb);
    EXPECT_EQ(whole, room);
    EXPECT_EQ(static_cast<char*>(whole)[8 * kMb - 1], 'x');  // written before, so in memory
    void* const larger = allocateScratch(10 * kMb);
    EXPECT_NE(larger, whole);
    freeScratch(larger, 10 * kMb);
    freeScratch(whole, 8 * kMb);
}

}  // namespace
}  // namespace sorvane::core
