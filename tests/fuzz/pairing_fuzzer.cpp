// Two small lists and eight chooser texts made from the bytes: the fast engine must give
// exactly what the record-by-record reference gives, refusals included.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "comparison.h"
#include "test_lists.h"

using namespace sorvane::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    // The first eight bytes pick the chooser texts; the rest, split at its first 0xFF byte, are
    // List 1 and List 2.
    static const char* const kTexts[] = {"", "1", "2", "3", " 2 ", "0", "x", "4"};
    ChooserTexts texts;
    for (int r = 0; r < 4; ++r) {
        texts.list1[r] = kTexts[data[r] % 8];
        texts.list2[r] = kTexts[data[4 + r] % 8];
    }
    const std::string rest(reinterpret_cast<const char*>(data + 8), size - 8);
    const std::size_t split = rest.find('\xff');
    const RecordList list1 = testing::listOf(rest.substr(0, split));
    const RecordList list2 =
        testing::listOf(split == std::string::npos ? std::string() : rest.substr(split + 1));
    if (list1.recordCount() > 300 || list2.recordCount() > 300) return 0;  // the reference is slow

    if (compareLists(list1, list2, texts, Engine::Fast) !=
        compareLists(list1, list2, texts, Engine::Literal)) {
        std::abort();
    }
    return 0;
}
