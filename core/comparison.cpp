#include "comparison.h"

#include <algorithm>
#include <cstring>

#include "byte_hash.h"
#include "memory_advice.h"
#include "portable.h"
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

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// A key of up to seven bytes packed with its length into one word, so that the pairing compares
// it without reaching into the list. A longer key is marked in the top byte, where a packed key
// has its length, and carries 56 bits of its hash instead: the pairing tells long keys apart by
// that word alone, as if it were the key, and checks the pairs it made against their text
// afterwards.
constexpr std::uint64_t kLongKey = std::uint64_t{0xFF} << 56;
constexpr std::uint64_t kNoKey = std::uint64_t{0xFE} << 56;  // an empty slot
constexpr std::uint64_t kWholeHash = ~kLongKey;

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
    // A long key keeps the bits of `hashBits` of its hash.
    Keys(const RecordList& list, const std::vector<ColumnPair>& columns, bool second,
         std::uint64_t hashBits)
        : list_(list), table_(*list.table()), hashBits_(hashBits) {
        for (const ColumnPair& pair : columns) {
            columns_.push_back(second ? pair.column2 : pair.column1);
        }
    }

    std::size_t size() const { return list_.recordCount(); }

    /// Record p as the pairing sees it. A key of several cells is hashed and packed as its
    /// cells joined by TAB, which no cell can hold, so the joined text is unambiguous. Always
    /// inlined: left a call, its result went through memory, and in WebAssembly reading the
    /// keys took three times as long.
    SORVANE_ALWAYS_INLINE Entry entry(std::size_t p) const {
        const auto position = static_cast<std::uint32_t>(p);
        const std::size_t row = list_.tableRow(p);
        if (columns_.size() == 1) {
            const std::string_view key = trimSpaces(table_.cell(row, columns_[0]));
            const std::uint64_t hash = hashBytes(key);
            return {packed(key.substr(0, 8), key.size(), hash),
                    static_cast<std::uint32_t>(hash >> 32), position};
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
        return {packed(std::string_view(joined, std::min(length, sizeof joined)), length, hash),
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

    /// Asks the processor to fetch where record p's row starts. Always inlined, as the table's
    /// prefetches are, or the compiler drops them.
    SORVANE_ALWAYS_INLINE void prefetchStart(std::size_t p) const {
        table_.prefetchRowStart(list_.tableRow(p));
    }

    /// Asks the processor to fetch record p's row, once its start has been fetched.
    SORVANE_ALWAYS_INLINE void prefetchKey(std::size_t p) const {
        table_.prefetchRowText(list_.tableRow(p));
    }

private:
    // `head` holds the first bytes of a key of `length` bytes.
    std::uint64_t packed(std::string_view head, std::size_t length, std::uint64_t hash) const {
        if (length > 7) return kLongKey | (hash & hashBits_);
        return shortWord(head.data(), length) | (std::uint64_t{length} << 56);
    }

    const RecordList& list_;
    const RecordTable& table_;
    std::uint64_t hashBits_;
    std::vector<std::size_t> columns_;
};

// The partition of a key's hash when there are 2^bits of them.
std::size_t partOf(std::uint32_t hash, unsigned bits) { return bits ? hash >> (32 - bits) : 0; }

// The records of a list grouped by the top bits of their key's hash; each group keeps list order.
struct Partitions {
    ScratchVector<Entry> entries;
    std::vector<std::size_t> start;  // partition p is entries[start[p], start[p + 1])

    Partitions(const Keys& keys, unsigned bits) {
        const std::size_t n = keys.size();
        // Each record's key is read once, in list order, then the records are dealt out.
        ScratchVector<Entry> inOrder(n);
        // Counted after the entries are given room: the room List 1's entries in list order
        // left takes List 2's, unless a table taken first has cut into it.
        start.assign((std::size_t{1} << bits) + 1, 0);
        for (std::size_t p = 0; p < n; ++p) {
            inOrder[p] = keys.entry(p);
            ++start[partOf(inOrder[p].hash, bits) + 1];
        }
        for (std::size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
        entries.resize(n);
        std::vector<std::size_t> fill(start.begin(), start.end() - 1);
        for (std::size_t p = 0; p < n; ++p) {
            entries[fill[partOf(inOrder[p].hash, bits)]++] = inOrder[p];
        }
    }
};

// A few hundred records a partition, as a million records in 4,096 partitions have: their table
// of about 8 KB stays in the nearest cache, and a small comparison faults in that much table
// rather than 64 KB.
unsigned partitionBits(std::size_t records) {
    unsigned bits = 0;
    while (bits < 12 && (records >> bits) > 256) ++bits;
    return bits;
}

// One distinct key of List 2 within a partition: the queue of its still-free records, in List 2's
// order, as indexes into the partition's entries.
struct Slot {
    std::uint64_t key = kNoKey;  // packed as in Entry
    std::uint32_t head = kNone;  // first free entry with this key
    std::uint32_t any = kNone;   // an entry with this key, whether free or not
};

// How far ahead the check of long keys fetches where the List 2 rows it will read start, and then
// the rows: two dependent misses, fetched in two stages so the loop waits on neither.
constexpr std::size_t kAhead = 8;
constexpr std::size_t kFarAhead = 16;

// Each List 1 record's partner in List 2, or kNone, and how many pairs there are.
struct Partners {
    ScratchVector<std::uint32_t> of;
    std::size_t pairs = 0;
};

// The k-th record of List 1 with a given key pairs with the k-th record of List 2 with that key,
// which is exactly first fit in list order. Keys never meet across hash partitions, so each
// partition is paired on its own with a table small enough to stay in the processor's cache.
//
// Long keys are first paired by their hash word alone, which reads no text. The pairs made that
// way are then checked against their text in List 1's order; if every one holds, the pairing is
// the one the keys themselves give. A partition where two different keys shared a word is paired
// again comparing texts.
class KeyPairing {
public:
    KeyPairing(const RecordList& list1, const RecordList& list2,
               const std::vector<ColumnPair>& columns, std::uint64_t hashBits)
        : keys1_(list1, columns, false, hashBits),
          keys2_(list2, columns, true, hashBits),
          bits_(partitionBits(list2.recordCount())),
          parts1_(keys1_, bits_),
          parts2_(keys2_, bits_),
          partners_{ScratchVector<std::uint32_t>(list1.recordCount(), kNone)},
          byHash_(list1.recordCount(), false) {}

    Partners run() {
        for (std::size_t part = 0; part + 1 < parts2_.start.size(); ++part) {
            pairPartition(part, false);
        }
        for (const std::size_t part : partitionsMisled()) {
            unpair(part);
            pairPartition(part, true);
        }
        return std::move(partners_);
    }

private:
    // Pairs one partition, telling long keys apart by their word alone or, when `exact`, by
    // their text as well.
    void pairPartition(std::size_t part, bool exact) {
        const Entry* e2 = parts2_.entries.data() + parts2_.start[part];
        const std::size_t m2 = parts2_.start[part + 1] - parts2_.start[part];
        const Entry* e1 = parts1_.entries.data() + parts1_.start[part];
        const std::size_t m1 = parts1_.start[part + 1] - parts1_.start[part];
        if (m1 == 0 || m2 == 0) return;

        std::size_t capacity = 16;
        while (capacity < 2 * m2) capacity *= 2;
        const std::size_t mask = capacity - 1;
        slots_.assign(capacity, Slot{});
        next_.assign(m2, kNone);

        // The slot of the key of entry e of list `keys`, or the empty slot where it would go.
        auto find = [&](const Entry& e, const Keys& keys) -> Slot& {
            for (std::size_t i = e.hash & mask;; i = (i + 1) & mask) {
                Slot& slot = slots_[i];
                if (slot.key == kNoKey) return slot;
                if (slot.key == e.key &&
                    (!exact || !isLong(e.key) ||
                     keys.sameKey(e.position, keys2_, e2[slot.any].position))) {
                    return slot;
                }
            }
        };

        // Walking the partition backwards and pushing each record on the front of its queue
        // leaves every queue in List 2's order.
        for (std::size_t k = m2; k-- > 0;) {
            Slot& slot = find(e2[k], keys2_);
            slot.key = e2[k].key;
            slot.any = static_cast<std::uint32_t>(k);
            next_[k] = slot.head;
            slot.head = static_cast<std::uint32_t>(k);
        }
        ScratchVector<std::uint32_t>& partner = partners_.of;
        for (std::size_t k = 0; k < m1; ++k) {
            Slot& slot = find(e1[k], keys1_);
            if (slot.head == kNone) continue;
            partner[e1[k].position] = e2[slot.head].position;
            slot.head = next_[slot.head];
            ++partners_.pairs;
            if (!exact && isLong(e1[k].key)) {
                byHash_[e1[k].position] = true;
                ++pairsByHash_;
            }
        }
    }

    // The partitions, ascending, where a pair made by hash word joins records whose keys differ.
    std::vector<std::size_t> partitionsMisled() const {
        std::vector<std::size_t> misled;
        if (pairsByHash_ == 0) return misled;
        const ScratchVector<std::uint32_t>& partner = partners_.of;
        const std::size_t n1 = partner.size();
        // Three cursors walk those pairs: the first two ask for where the List 2 rows of pairs
        // ahead start and for the rows themselves, the last compares.
        std::size_t i = byHash_[0] ? 0 : nextByHash(0);
        std::size_t near = i;
        std::size_t far = i;
        for (std::size_t k = 0; k < kFarAhead && far < n1; ++k) {
            far = nextByHash(far);
            if (k < kAhead) near = far;
        }
        for (; i < n1; i = nextByHash(i)) {
            if (far < n1) {
                keys2_.prefetchStart(partner[far]);
                far = nextByHash(far);
            }
            if (near < n1) {
                keys2_.prefetchKey(partner[near]);
                near = nextByHash(near);
            }
            if (!keys1_.sameKey(i, keys2_, partner[i])) {
                misled.push_back(partOf(keys1_.entry(i).hash, bits_));
            }
        }
        std::sort(misled.begin(), misled.end());
        misled.erase(std::unique(misled.begin(), misled.end()), misled.end());
        return misled;
    }

    // The first List 1 record after i paired by hash word, or the record count.
    std::size_t nextByHash(std::size_t i) const {
        while (++i < byHash_.size() && !byHash_[i]) {
        }
        return i;
    }

    void unpair(std::size_t part) {
        for (std::size_t k = parts1_.start[part]; k < parts1_.start[part + 1]; ++k) {
            std::uint32_t& partner = partners_.of[parts1_.entries[k].position];
            if (partner == kNone) continue;
            partner = kNone;
            --partners_.pairs;
        }
    }

    const Keys keys1_;
    const Keys keys2_;
    const unsigned bits_;
    const Partitions parts1_;
    const Partitions parts2_;
    Partners partners_;
    std::vector<bool> byHash_;         // per List 1 record: paired by hash word, to be checked
    std::size_t pairsByHash_ = 0;
    std::vector<Slot> slots_;          // the table of the partition being paired
    std::vector<std::uint32_t> next_;  // per List 2 entry of it: the next free one with its key
};

// Pairs by key, the pairs in List 1's order. The partitions are gone by the time the outcome is
// built, so its rows take the memory they held rather than more.
Outcome pairByKey(const RecordList& list1, const RecordList& list2,
                  const std::vector<ColumnPair>& columns, std::uint64_t hashBits = kWholeHash) {
    const std::size_t n1 = list1.recordCount();
    const std::size_t n2 = list2.recordCount();
    const Partners partners = KeyPairing(list1, list2, columns, hashBits).run();
    const ScratchVector<std::uint32_t>& partner = partners.of;
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
                    const std::vector<ColumnPair>& columns) {
    return pairByKey(list1, list2, columns);
}

Outcome pairRecordsByHashBits(const RecordList& list1, const RecordList& list2,
                              const std::vector<ColumnPair>& columns, std::uint64_t hashBits) {
    return pairByKey(list1, list2, columns, hashBits & kWholeHash);
}

std::uint64_t pairingScratchBytes(std::size_t records1, std::size_t records2) {
    // Dealing out a list takes its entries twice, in list order and by partition; List 1's
    // partitions are then held while List 2's are dealt out.
    const std::uint64_t entry = sizeof(Entry);
    return std::max(2 * entry * records1, entry * records1 + 2 * entry * records2);
}

std::variant<Refusal, Outcome> compareLists(const RecordList& list1, const RecordList& list2,
                                            const ChooserTexts& texts, Pairing pairing) {
    auto chosen = chosenColumns(list1, list2, texts);
    if (auto* refusal = std::get_if<Refusal>(&chosen)) return std::move(*refusal);
    return pairing(list1, list2, std::get<std::vector<ColumnPair>>(chosen));
}

}  // namespace sorvane::core
