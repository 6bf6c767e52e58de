#include "comparison.h"

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
    std::uint64_t v = 0;
    if (n > 0) std::memcpy(&v, p, n);
    h = (h ^ v) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 32);
}

// Every record's key, gathered in one pass in list order: its trimmed key cells joined by TAB
// (which no cell can hold, so the joined text is unambiguous) in one arena. The pairing then
// works on this compact text instead of reaching into the lists' own.
class Keys {
public:
    Keys(const RecordList& list, const std::vector<ColumnPair>& columns, bool second) {
        const std::size_t n = list.recordCount();
        const RecordTable& table = *list.table();
        start_.reserve(n + 1);
        preferHugePages(start_.data(), (n + 1) * sizeof(std::uint64_t));
        start_.push_back(0);
        hash_.reserve(n);
        preferHugePages(hash_.data(), n * sizeof(std::uint64_t));
        // Room for keys of a typical length, so the arena rarely moves while it fills.
        arena_.reserve(n * 12 * columns.size());
        preferHugePages(arena_.data(), arena_.capacity());
        for (std::size_t p = 0; p < n; ++p) {
            const std::size_t row = list.tableRow(p);
            for (std::size_t k = 0; k < columns.size(); ++k) {
                if (k > 0) arena_.push_back('\t');
                arena_.append(
                    trimSpaces(table.cell(row, second ? columns[k].column2 : columns[k].column1)));
            }
            start_.push_back(arena_.size());
            hash_.push_back(hashBytes(key(p)));
        }
    }

    std::size_t size() const { return start_.size() - 1; }
    std::string_view key(std::size_t p) const {
        return std::string_view(arena_).substr(start_[p], start_[p + 1] - start_[p]);
    }
    std::uint64_t hash(std::size_t p) const { return hash_[p]; }

    /// Asks the processor to fetch where record p's key starts.
    void prefetchStart(std::size_t p) const { __builtin_prefetch(&start_[p]); }

    /// Asks the processor to fetch record p's key, once its start has been fetched.
    void prefetchKey(std::size_t p) const { __builtin_prefetch(arena_.data() + start_[p]); }

private:
    std::string arena_;
    std::vector<std::uint64_t> start_;
    std::vector<std::uint64_t> hash_;
};

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// A record in its hash partition: the low half of its key's hash and its position in its list.
struct Entry {
    std::uint32_t hash;
    std::uint32_t position;
};

// The records of a list grouped by the top bits of their key's hash; each group keeps list order.
struct Partitions {
    std::vector<Entry> entries;
    std::vector<std::size_t> start;  // partition p is entries[start[p], start[p + 1])

    Partitions(const Keys& keys, unsigned bits) : start((std::size_t{1} << bits) + 1, 0) {
        const std::size_t n = keys.size();
        auto partOf = [bits](std::uint64_t h) -> std::size_t { return bits ? h >> (64 - bits) : 0; };
        for (std::size_t p = 0; p < n; ++p) ++start[partOf(keys.hash(p)) + 1];
        for (std::size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
        entries.reserve(n);
        preferHugePages(entries.data(), n * sizeof(Entry));
        entries.resize(n);
        std::vector<std::size_t> fill(start.begin(), start.end() - 1);
        for (std::size_t p = 0; p < n; ++p) {
            const std::uint64_t h = keys.hash(p);
            entries[fill[partOf(h)]++] = {static_cast<std::uint32_t>(h),
                                          static_cast<std::uint32_t>(p)};
        }
    }
};

// One distinct key of List 2 within a partition: the queue of its still-free records, in List 2's
// order, as indexes into the partition's entries.
struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t rep = kNone;   // a List 2 position with this key; kNone: empty slot
    std::uint32_t head = kNone;  // first free entry with this key
};

// How far ahead the loops fetch where the key of a record they will look up starts, and then
// the key itself: two dependent misses, fetched in two stages so neither loop waits on them.
constexpr std::size_t kAhead = 8;
constexpr std::size_t kFarAhead = 16;

// Pairs by key: the k-th record of List 1 with a given key pairs with the k-th record of List 2
// with that key, which is exactly first fit in list order. Keys never meet across hash
// partitions, so each partition is paired on its own with a table small enough to stay in the
// processor's cache, and the pairs are put back in List 1's order at the end.
Outcome pairByKey(const RecordList& list1, const RecordList& list2,
                  const std::vector<ColumnPair>& columns) {
    const std::size_t n1 = list1.recordCount();
    const std::size_t n2 = list2.recordCount();
    const Keys keys1(list1, columns, false);
    const Keys keys2(list2, columns, true);

    unsigned bits = 0;
    while (bits < 12 && (n2 >> bits) > 2048) ++bits;
    const Partitions parts1(keys1, bits);
    const Partitions parts2(keys2, bits);

    std::vector<std::uint32_t> partner;
    partner.reserve(n1);
    preferHugePages(partner.data(), n1 * sizeof(std::uint32_t));
    partner.assign(n1, kNone);
    std::size_t pairs = 0;
    std::vector<Slot> slots;
    std::vector<std::uint32_t> next;
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

        auto find = [&](std::uint32_t h, std::string_view key) -> Slot& {
            for (std::size_t i = h & mask;; i = (i + 1) & mask) {
                Slot& slot = slots[i];
                if (slot.rep == kNone) {
                    slot.hash = h;
                    return slot;
                }
                if (slot.hash == h && keys2.key(slot.rep) == key) return slot;
            }
        };

        // Walking the partition backwards and pushing each record on the front of its queue
        // leaves every queue in List 2's order.
        for (std::size_t k = m2; k-- > 0;) {
            if (k >= kFarAhead) keys2.prefetchStart(e2[k - kFarAhead].position);
            if (k >= kAhead) keys2.prefetchKey(e2[k - kAhead].position);
            Slot& slot = find(e2[k].hash, keys2.key(e2[k].position));
            next[k] = slot.head;
            slot.head = static_cast<std::uint32_t>(k);
            slot.rep = e2[k].position;
        }
        for (std::size_t k = 0; k < m1; ++k) {
            if (k + kFarAhead < m1) keys1.prefetchStart(e1[k + kFarAhead].position);
            if (k + kAhead < m1) keys1.prefetchKey(e1[k + kAhead].position);
            Slot& slot = find(e1[k].hash, keys1.key(e1[k].position));
            if (slot.head == kNone) continue;
            partner[e1[k].position] = e2[slot.head].position;
            slot.head = next[slot.head];
            ++pairs;
        }
    }

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
