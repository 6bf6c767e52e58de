// Two small lists and eight chooser texts made from the bytes: the fast engine must give
// exactly what the record-by-record reference gives, refusals included, also when it can tell
// long keys apart by only a few bits of their hash.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "comparison.h"
#include "literal_pairing.h"
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

    const auto literal = compareLists(list1, list2, texts, pairRecordsLiteral);
    if (compareLists(list1, list2, texts) != literal) std::abort();
    // With two bits of hash, different long keys share one and must be told apart by text.
    if (const auto* outcome = std::get_if<Outcome>(&literal)) {
        const auto columns = std::get<std::vector<ColumnPair>>(chosenColumns(list1, list2, texts));
        if (pairRecordsByHashBits(list1, list2, columns, 3) != *outcome) std::abort();
    }
    return 0;
}
