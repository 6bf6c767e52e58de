#include "comparison.h"

#include <algorithm>
#include <cstring>

#include "literal_pairing.h"
#include "memory_advice.h"
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

// The first n bytes at p (n below 8) as the low bytes of a word, the rest zero. Two loads that
// may overlap, instead of copying a variable count of bytes through memory, which would cost a
// library call and a stalled reload on every key.
std::uint64_t shortWord(const char* p, std::size_t n) {
    if (n >= 4) {
        std::uint32_t low;
        std::uint32_t high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + n - 4, 4);
        return low | (std::uint64_t{high} << ((n - 4) * 8));
    }
    if (n == 0) return 0;
    const auto byte = [p](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(p[i])}; };
    return byte(0) | byte(n / 2) << (n / 2 * 8) | byte(n - 1) << ((n - 1) * 8);
}

// A 64-bit hash of the bytes: eight at a time, then a final mix so every bit spreads.
std::uint64_t hashBytes(std::string_view s) {
    constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = s.size() * kMul;
    const char* p = s.data();
    std::size_t n = s.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        h = (h ^ v) * kMul;
        h ^= h >> 29;
    }
    h = (h ^ shortWord(p, n)) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 32);
}

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// A key of up to seven bytes packed with its length into one word, so that the pairing compares
// it without reaching into the list. A longer key is marked in the top byte, where a packed key
// has its length, and carries its record's position instead; it is compared cell by cell.
constexpr std::uint64_t kLongKey = std::uint64_t{0xFF} << 56;
constexpr std::uint64_t kNoKey = std::uint64_t{0xFE} << 56;  // an empty slot

bool isLong(std::uint64_t word) { return (word & kLongKey) == kLongKey; }

// A record as the pairing sees it: its packed key, the top half of its key's hash and its
// position in its list.
struct Entry {
    std::uint64_t key;
    std::uint32_t hash;
    std::uint32_t position;
};

// The keys of one list's records: their trimmed cells in the chosen columns, read from the list
// itself where they stand, never copied.
class Keys {
public:
    Keys(const RecordList& list, const std::vector<ColumnPair>& columns, bool second)
        : list_(list), table_(*list.table()) {
        for (const ColumnPair& pair : columns) {
            columns_.push_back(second ? pair.column2 : pair.column1);
        }
    }

    std::size_t size() const { return list_.recordCount(); }

    /// Record p as the pairing sees it. A key of several cells is hashed and packed as its
    /// cells joined by TAB, which no cell can hold, so the joined text is unambiguous.
    Entry entry(std::size_t p) const {
        const auto position = static_cast<std::uint32_t>(p);
        const std::size_t row = list_.tableRow(p);
        if (columns_.size() == 1) {
            const std::string_view key = trimSpaces(table_.cell(row, columns_[0]));
            return {packed(key, position), static_cast<std::uint32_t>(hashBytes(key) >> 32),
                    position};
        }
        char joined[8];       // the first bytes of the joined key, while it may still fit a word
        std::size_t length = 0;  // of the whole joined key
        std::uint64_t hash = 0;
        for (std::size_t k = 0; k < columns_.size(); ++k) {
            const std::string_view cell = trimSpaces(table_.cell(row, columns_[k]));
            hash = (hash ^ hashBytes(cell)) * 0x9E3779B97F4A7C15ull + k;
            if (k > 0) {
                if (length < sizeof joined) joined[length] = '\t';
                ++length;
            }
            if (!cell.empty() && length + cell.size() <= sizeof joined) {
                std::memcpy(joined + length, cell.data(), cell.size());
            }
            length += cell.size();
        }
        return {packed(std::string_view(joined, std::min(length, sizeof joined)), length, position),
                static_cast<std::uint32_t>(hash >> 32), position};
    }

    /// Whether record p of this list and record q of `other` have the same key.
    bool sameKey(std::size_t p, const Keys& other, std::size_t q) const {
        const std::size_t row = list_.tableRow(p);
        const std::size_t otherRow = other.list_.tableRow(q);
        for (std::size_t k = 0; k < columns_.size(); ++k) {
            if (trimSpaces(table_.cell(row, columns_[k])) !=
                trimSpaces(other.table_.cell(otherRow, other.columns_[k]))) {
                return false;
            }
        }
        return true;
    }

    /// Asks the processor to fetch where record p's row starts.
    void prefetchStart(std::size_t p) const { table_.prefetchRowStart(list_.tableRow(p)); }

    /// Asks the processor to fetch record p's row, once its start has been fetched.
    void prefetchKey(std::size_t p) const { table_.prefetchRowText(list_.tableRow(p)); }

private:
    static std::uint64_t packed(std::string_view key, std::uint32_t position) {
        return packed(key.substr(0, 8), key.size(), position);
    }
    // `head` holds the first bytes of a key of `length` bytes.
    static std::uint64_t packed(std::string_view head, std::size_t length, std::uint32_t position) {
        if (length > 7) return kLongKey | position;
        return shortWord(head.data(), length) | (std::uint64_t{length} << 56);
    }

    const RecordList& list_;
    const RecordTable& table_;
    std::vector<std::size_t> columns_;
};

// The records of a list grouped by the top bits of their key's hash; each group keeps list order.
struct Partitions {
    HugeVector<Entry> entries;
    std::vector<std::size_t> start;  // partition p is entries[start[p], start[p + 1])

    Partitions(const Keys& keys, unsigned bits) : start((std::size_t{1} << bits) + 1, 0) {
        const std::size_t n = keys.size();
        auto partOf = [bits](std::uint32_t h) -> std::size_t { return bits ? h >> (32 - bits) : 0; };
        // Each record's key is read once, in list order, then the records are dealt out.
        HugeVector<Entry> inOrder(n);
        for (std::size_t p = 0; p < n; ++p) {
            inOrder[p] = keys.entry(p);
            ++start[partOf(inOrder[p].hash) + 1];
        }
        for (std::size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
        entries.resize(n);
        std::vector<std::size_t> fill(start.begin(), start.end() - 1);
        for (std::size_t p = 0; p < n; ++p) entries[fill[partOf(inOrder[p].hash)]++] = inOrder[p];
    }
};

// One distinct key of List 2 within a partition: the queue of its still-free records, in List 2's
// order, as indexes into the partition's entries.
struct Slot {
    std::uint64_t key = kNoKey;  // packed as in Entry
    std::uint32_t hash = 0;
    std::uint32_t head = kNone;  // first free entry with this key
};

// How far ahead the loops fetch where a long key that they will look up starts, and then the key
// itself: two dependent misses, fetched in two stages so neither loop waits on them.
constexpr std::size_t kAhead = 8;
constexpr std::size_t kFarAhead = 16;

// Each List 1 record's partner in List 2, or kNone, and how many pairs there are.
struct Partners {
    HugeVector<std::uint32_t> of;
    std::size_t pairs = 0;
};

// The k-th record of List 1 with a given key pairs with the k-th record of List 2 with that key,
// which is exactly first fit in list order. Keys never meet across hash partitions, so each
// partition is paired on its own with a table small enough to stay in the processor's cache.
Partners partnersByKey(const RecordList& list1, const RecordList& list2,
                       const std::vector<ColumnPair>& columns) {
    const std::size_t n1 = list1.recordCount();
    const std::size_t n2 = list2.recordCount();
    const Keys keys1(list1, columns, false);
    const Keys keys2(list2, columns, true);

    // A few hundred records a partition, as a million records in 4,096 partitions have: their
    // table of about 8 KB stays in the nearest cache, and a small comparison faults in that much
    // table rather than 64 KB.
    unsigned bits = 0;
    while (bits < 12 && (n2 >> bits) > 256) ++bits;
    const Partitions parts1(keys1, bits);
    const Partitions parts2(keys2, bits);

    Partners partners{HugeVector<std::uint32_t>(n1, kNone)};
    HugeVector<std::uint32_t>& partner = partners.of;
    std::vector<Slot> slots;
    std::vector<std::uint32_t> next;
    auto prefetch = [](const Keys& keys, const Entry* e, std::size_t far, std::size_t near) {
        if (isLong(e[far].key)) keys.prefetchStart(e[far].position);
        if (isLong(e[near].key)) keys.prefetchKey(e[near].position);
    };
    for (std::size_t part = 0; part + 1 < parts2.start.size(); ++part) {
        const Entry* e2 = parts2.entries.data() + parts2.start[part];
        const std::size_t m2 = parts2.start[part + 1] - parts2.start[part];
        const Entry* e1 = parts1.entries.data() + parts1.start[part];
        const std::size_t m1 = parts1.start[part + 1] - parts1.start[part];
        if (m1 == 0 || m2 == 0) continue;

        std::size_t capacity = 16;
        while (capacity < 2 * m2) capacity *= 2;
        const std::size_t mask = capacity - 1;
        slots.assign(capacity, Slot{});
        next.assign(m2, kNone);

        // The slot of the key of entry e of list `keys`, or the empty slot where it would go.
        auto find = [&](const Entry& e, const Keys& keys) -> Slot& {
            for (std::size_t i = e.hash & mask;; i = (i + 1) & mask) {
                Slot& slot = slots[i];
                if (slot.key == kNoKey) return slot;
                if (slot.hash != e.hash) continue;
                if (isLong(e.key) ? isLong(slot.key) &&
                                        keys.sameKey(e.position, keys2,
                                                     static_cast<std::uint32_t>(slot.key))
                                  : slot.key == e.key) {
                    return slot;
                }
            }
        };

        // Walking the partition backwards and pushing each record on the front of its queue
        // leaves every queue in List 2's order.
        for (std::size_t k = m2; k-- > 0;) {
            if (k >= kFarAhead) prefetch(keys2, e2, k - kFarAhead, k - kAhead);
            Slot& slot = find(e2[k], keys2);
            slot.key = e2[k].key;
            slot.hash = e2[k].hash;
            next[k] = slot.head;
            slot.head = static_cast<std::uint32_t>(k);
        }
        for (std::size_t k = 0; k < m1; ++k) {
            if (k + kFarAhead < m1) prefetch(keys1, e1, k + kFarAhead, k + kAhead);
            Slot& slot = find(e1[k], keys1);
            if (slot.head == kNone) continue;
            partner[e1[k].position] = e2[slot.head].position;
            slot.head = next[slot.head];
            ++partners.pairs;
        }
    }
    return partners;
}

// Pairs by key, the pairs in List 1's order. The partitions are gone by the time the outcome is
// built, so its rows take the memory they held rather than more.
Outcome pairByKey(const RecordList& list1, const RecordList& list2,
                  const std::vector<ColumnPair>& columns) {
    const std::size_t n1 = list1.recordCount();
    const std::size_t n2 = list2.recordCount();
    const Partners partners = partnersByKey(list1, list2, columns);
    const HugeVector<std::uint32_t>& partner = partners.of;
    const std::size_t pairs = partners.pairs;

    Outcome out;
    out.matched1.reserve(pairs);
    out.matched2.reserve(pairs);
    out.unmatched1.reserve(n1 - pairs);
    out.unmatched2.reserve(n2 - pairs);
    std::vector<bool> taken(n2, false);
    for (std::size_t i = 0; i < n1; ++i) {
        if (partner[i] == kNone) {
            out.unmatched1.push_back(static_cast<std::uint32_t>(i));
        } else {
            out.matched1.push_back(static_cast<std::uint32_t>(i));
            out.matched2.push_back(partner[i]);
            taken[partner[i]] = true;
        }
    }
    for (std::size_t j = 0; j < n2; ++j) {
        if (!taken[j]) out.unmatched2.push_back(static_cast<std::uint32_t>(j));
    }
    // The result lists keep these for as long as they show them.
    for (RowNumbers* rows : {&out.matched1, &out.matched2, &out.unmatched1, &out.unmatched2}) {
        giveBackUnusedEnd(*rows);
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
