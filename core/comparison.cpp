#include "comparison.h"

#include <cstring>

#include "literal_pairing.h"
#include "record_writer.h"

namespace sorvane::core {
namespace {

const char* const kOrdinals[4] = {"1st", "2nd", "3rd", "4th"};

// The column number a chooser text names: a whole decimal number from 1 to `columns`, with or
// without spaces around it; 0 when it names none.
std::size_t columnNamed(std::string_view text, std::size_t columns) {
    const std::string_view digits = trimSpaces(text);
    if (digits.empty()) return 0;
    std::size_t value = 0;
    for (const char ch : digits) {
        if (ch < '0' || ch > '9') return 0;
        value = value * 10 + static_cast<std::size_t>(ch - '0');
        if (value > columns) return 0;  // also keeps a long number from overflowing
    }
    return value;
}

// A 64-bit hash of the bytes, chained through `seed` so several cells make one key.
std::uint64_t hashBytes(std::string_view s, std::uint64_t seed) {
    constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = seed ^ (s.size() * kMul);
    const char* p = s.data();
    std::size_t n = s.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        h = (h ^ v) * kMul;
        h ^= h >> 29;
    }
    std::uint64_t v = 0;
    if (n > 0) std::memcpy(&v, p, n);
    h = (h ^ v) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 32);
}

// The trimmed key cells of a record, reached through one side of the column pairs.
class KeyReader {
public:
    KeyReader(const RecordList& list, const std::vector<ColumnPair>& columns, bool second)
        : list_(list), table_(*list.table()), columns_(columns), second_(second) {}

    std::string_view cell(std::size_t position, std::size_t k) const {
        const std::size_t column = second_ ? columns_[k].column2 : columns_[k].column1;
        return trimSpaces(table_.cell(list_.tableRow(position), column));
    }

    std::uint64_t hash(std::size_t position) const {
        std::uint64_t h = 0;
        for (std::size_t k = 0; k < columns_.size(); ++k) h = hashBytes(cell(position, k), h);
        return h;
    }

private:
    const RecordList& list_;
    const RecordTable& table_;
    const std::vector<ColumnPair>& columns_;
    bool second_;
};

bool sameKey(const KeyReader& a, std::size_t pa, const KeyReader& b, std::size_t pb,
             std::size_t keyCells) {
    for (std::size_t k = 0; k < keyCells; ++k) {
        if (a.cell(pa, k) != b.cell(pb, k)) return false;
    }
    return true;
}

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// One distinct key of List 2: the queue of its still-free records, in List 2's order.
struct Slot {
    std::uint32_t hash = 0;   // high half of the key's hash
    std::uint32_t rep = kNone;  // a record with this key, to compare against; kNone: empty slot
    std::uint32_t head = kNone; // first free record with this key
};

// Pairs by key: records of List 2 are queued per key in list order, and each record of List 1
// takes the head of its key's queue. This is exactly first fit in list order, in linear time.
Outcome pairByKey(const RecordList& list1, const RecordList& list2,
                  const std::vector<ColumnPair>& columns) {
    const std::size_t n1 = list1.recordCount();
    const std::size_t n2 = list2.recordCount();
    const KeyReader keys1(list1, columns, false);
    const KeyReader keys2(list2, columns, true);

    std::size_t capacity = 16;
    while (capacity < n2 + n2 / 2) capacity *= 2;
    const std::size_t mask = capacity - 1;
    std::vector<Slot> slots(capacity);
    std::vector<std::uint32_t> next(n2, kNone);

    auto find = [&](std::uint64_t h, const KeyReader& keys, std::size_t position) -> Slot& {
        const auto high = static_cast<std::uint32_t>(h >> 32);
        for (std::size_t i = h & mask;; i = (i + 1) & mask) {
            Slot& slot = slots[i];
            if (slot.rep == kNone) return slot;
            if (slot.hash == high && sameKey(keys, position, keys2, slot.rep, columns.size())) {
                return slot;
            }
        }
    };

    // Walking List 2 backwards and pushing each record on the front of its queue leaves every
    // queue in list order.
    for (std::size_t j = n2; j-- > 0;) {
        const std::uint64_t h = keys2.hash(j);
        Slot& slot = find(h, keys2, j);
        if (slot.rep == kNone) slot.hash = static_cast<std::uint32_t>(h >> 32);
        next[j] = slot.head;
        slot.head = slot.rep = static_cast<std::uint32_t>(j);
    }

    Outcome out;
    std::vector<bool> taken(n2, false);
    for (std::size_t i = 0; i < n1; ++i) {
        Slot& slot = find(keys1.hash(i), keys1, i);
        if (slot.head == kNone) {
            out.unmatched1.push_back(static_cast<std::uint32_t>(i));
            continue;
        }
        const std::uint32_t j = slot.head;
        slot.head = next[j];
        taken[j] = true;
        out.matched1.push_back(static_cast<std::uint32_t>(i));
        out.matched2.push_back(j);
    }
    out.unmatched2.reserve(n2 - out.matched2.size());
    for (std::size_t j = 0; j < n2; ++j) {
        if (!taken[j]) out.unmatched2.push_back(static_cast<std::uint32_t>(j));
    }
    return out;
}

}  // namespace

bool cellsAgree(std::string_view a, std::string_view b) { return trimSpaces(a) == trimSpaces(b); }

std::variant<Refusal, std::vector<ColumnPair>> chosenColumns(const RecordList& list1,
                                                             const RecordList& list2,
                                                             const ChooserTexts& texts) {
    if (list1.recordCount() == 0) {
        return Refusal{
            "To make the comparison it is necessary that List 1 contains at least one record."};
    }
    if (list2.recordCount() == 0) {
        return Refusal{
            "To make the comparison it is necessary that List 2 contains at least one record."};
    }
    if (texts.list1[0].empty() || texts.list2[0].empty()) {
        return Refusal{"To make the comparison it is necessary to select the rows to compare."};
    }

    std::vector<ColumnPair> columns;
    for (std::size_t r = 0; r < 4; ++r) {
        if (texts.list1[r].empty() || texts.list2[r].empty()) continue;
        ColumnPair pair{};
        for (int side = 0; side < 2; ++side) {
            const std::string& text = side == 0 ? texts.list1[r] : texts.list2[r];
            const std::size_t count = (side == 0 ? list1 : list2).columnCount();
            const std::size_t number = columnNamed(text, count);
            if (number == 0) {
                return Refusal{std::string("The ") + kOrdinals[r] + " comparison names column \"" +
                               text + "\" of List " + (side == 0 ? "1" : "2") +
                               ", which does not exist. Choose a column from 1 to " +
                               std::to_string(count) + "."};
            }
            (side == 0 ? pair.column1 : pair.column2) = number - 1;
        }
        columns.push_back(pair);
    }
    return columns;
}

Outcome pairRecords(const RecordList& list1, const RecordList& list2,
                    const std::vector<ColumnPair>& columns, Engine engine) {
    return engine == Engine::Literal ? pairRecordsLiteral(list1, list2, columns)
                                     : pairByKey(list1, list2, columns);
}

std::variant<Refusal, Outcome> compareLists(const RecordList& list1, const RecordList& list2,
                                            const ChooserTexts& texts, Engine engine) {
    auto chosen = chosenColumns(list1, list2, texts);
    if (auto* refusal = std::get_if<Refusal>(&chosen)) return std::move(*refusal);
    return pairRecords(list1, list2, std::get<std::vector<ColumnPair>>(chosen), engine);
}

}  // namespace sorvane::core
