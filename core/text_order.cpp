#include "text_order.h"

#include <algorithm>
#include <cstdint>

namespace sorvane::core {
namespace {

// Base letters of U+00C0 to U+00FF, the accented letters of Western European text, lower case.
// A null entry keeps the character itself (the multiplication and division signs).
constexpr const char* kLatin1Base[64] = {
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o", nullptr, "o", "u", "u", "u", "u", "y", "th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o", nullptr, "o", "u", "u", "u", "u", "y", "th", "y",
};

struct Entry {
    std::uint64_t prefix;  // first eight key bytes, big-endian, for a quick first comparison
    std::uint64_t offset;  // where the key starts in the key buffer
    std::uint32_t length;
    std::uint32_t position;  // position in the list before sorting, which breaks ties
};

std::uint64_t prefixOf(std::string_view key) {
    std::uint64_t p = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        p = (p << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    }
    return p;
}

}  // namespace

void appendOrderKey(std::string& out, std::string_view cell) {
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const auto ch = static_cast<unsigned char>(cell[i]);
        if (ch >= 'A' && ch <= 'Z') {
            out.push_back(static_cast<char>(ch + ('a' - 'A')));
        } else if (ch == 0xC3 && i + 1 < cell.size()) {
            const auto next = static_cast<unsigned char>(cell[i + 1]);
            const char* base = (next >= 0x80 && next <= 0xBF) ? kLatin1Base[next - 0x80] : nullptr;
            if (base != nullptr) {
                out.append(base);
                ++i;
            } else {
                out.push_back(static_cast<char>(ch));
            }
        } else {
            out.push_back(static_cast<char>(ch));
        }
    }
}

RowNumbers orderedRows(const RecordList& list, std::size_t column) {
    const std::size_t n = list.recordCount();
    std::string keys;
    std::vector<Entry> entries(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t start = keys.size();
        appendOrderKey(keys, list.cell(i, column));
        entries[i] = {0, start, static_cast<std::uint32_t>(keys.size() - start),
                      static_cast<std::uint32_t>(i)};
    }
    const std::string_view all(keys);
    for (Entry& e : entries) e.prefix = prefixOf(all.substr(e.offset, e.length));

    std::sort(entries.begin(), entries.end(), [all](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        const int c = all.substr(a.offset, a.length).compare(all.substr(b.offset, b.length));
        return c != 0 ? c < 0 : a.position < b.position;
    });

    RowNumbers rows(n);
    for (std::size_t i = 0; i < n; ++i) {
        rows[i] = static_cast<std::uint32_t>(list.tableRow(entries[i].position));
    }
    return rows;
}

}  // namespace sorvane::core
