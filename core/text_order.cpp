#include "text_order.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <utility>
#include <vector>

#include "byte_hash.h"
#include "memory_advice.h"

namespace sorvane::core {
namespace {

struct Entry {
    std::uint64_t prefix;  // first eight key bytes, big-endian, for a quick first comparison
    std::uint64_t offset;  // where the key starts in the key buffer
    std::uint32_t length;
    std::uint32_t position;  // position in the list before sorting, which breaks ties
};

// A column whose first cells repeat less than one time in sixteen is taken for a column of
// distinct cells, and the rest of its cells are not looked for among those seen.
constexpr std::size_t kTrialCells = 16384;

// The keys made for a column are numbered in the order made, and while its cells are looked for
// among those seen, each key stands in the key buffer after its number, in this many bytes.
constexpr std::size_t kNumberBytes = sizeof(std::uint32_t);

// What was made of a column: how many keys, and whether each stands after its number.
struct KeysMade {
    std::size_t count = 0;
    bool numbered = true;
};

std::uint32_t numberOf(std::string_view all, const Entry& e) {
    std::uint32_t number;
    std::memcpy(&number, all.data() + e.offset - kNumberBytes, kNumberBytes);
    return number;
}

std::uint64_t prefixOf(std::string_view key) {
    std::uint64_t p = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        p = (p << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    }
    return p;
}

// The characters of plain cells, digits and the - . / that numbers and dates are written with,
// are the run of ASCII from '-' to '9'. The root order, and every locale's that leaves these
// alone, orders cells made only of them as their bytes.
constexpr char kFirstPlain = '-';
constexpr char kLastPlain = '9';

bool isPlain(std::string_view cell) {
    return std::all_of(cell.begin(), cell.end(),
                       [](char c) { return c >= kFirstPlain && c <= kLastPlain; });
}

// Whether `order` orders plain cells as their bytes: checked on every plain cell of up to two
// characters, which shows the order of each pair and any contraction of two.
bool plainCellsInByteOrder(const TextOrder& order) {
    std::vector<std::string> cells = {""};
    for (char a = kFirstPlain; a <= kLastPlain; ++a) {
        cells.emplace_back(1, a);
        for (char b = kFirstPlain; b <= kLastPlain; ++b) cells.push_back({a, b});
    }
    std::sort(cells.begin(), cells.end());
    std::string previous;
    for (const std::string& cell : cells) {
        std::string key;
        order.appendKey(key, cell);
        if (cell != cells.front() && key <= previous) return false;
        previous = std::move(key);
    }
    return true;
}

// Orders the rows of `entries` by their keys in `all`, equal keys in list order, as positions.
void orderByKey(std::string_view all, HugeVector<Entry>& entries, RowNumbers& rows) {
    std::sort(entries.begin(), entries.end(), [all](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        const int c = all.substr(a.offset, a.length).compare(all.substr(b.offset, b.length));
        return c != 0 ? c < 0 : a.position < b.position;
    });
    for (std::size_t i = 0; i < entries.size(); ++i) rows[i] = entries[i].position;
}

// The same for a column whose cells repeat, a status or a town, for whose rows `made` keys were
// made, each after its number: only those keys are sorted, and the rows are dealt out by the
// rank of their key, in list order within a rank. Equal keys made more than once share a rank.
void orderByRank(std::string_view all, std::size_t made, const HugeVector<Entry>& entries,
                 RowNumbers& rows) {
    std::vector<std::string_view> keys(made);
    for (const Entry& e : entries) keys[numberOf(all, e)] = all.substr(e.offset, e.length);
    std::vector<std::uint32_t> byKey(made);
    std::iota(byKey.begin(), byKey.end(), 0u);
    std::sort(byKey.begin(), byKey.end(),
              [&keys](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    std::vector<std::uint32_t> rankOf(made);  // by number
    std::uint32_t ranks = 0;
    for (std::size_t k = 0; k < made; ++k) {
        if (k > 0 && keys[byKey[k]] != keys[byKey[k - 1]]) ++ranks;
        rankOf[byKey[k]] = ranks;
    }
    auto rank = [&](const Entry& e) { return rankOf[numberOf(all, e)]; };
    std::vector<std::size_t> next(std::size_t{ranks} + 2, 0);  // where each rank's next row goes
    bool inListOrder = true;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        ++next[rank(entries[k]) + 1];
        inListOrder = inListOrder && entries[k].position == k;
    }
    for (std::size_t r = 1; r < next.size(); ++r) next[r] += next[r - 1];
    // Rows of one rank keep their order in the list, so they are dealt out in that order.
    if (inListOrder) {
        for (const Entry& e : entries) rows[next[rank(e)]++] = e.position;
        return;
    }
    HugeVector<std::uint32_t> rankAtPosition(entries.size());
    for (const Entry& e : entries) rankAtPosition[e.position] = rank(e);
    for (std::size_t i = 0; i < rankAtPosition.size(); ++i) {
        rows[next[rankAtPosition[i]]++] = static_cast<std::uint32_t>(i);
    }
}

// The cells of a column seen so far, by a hash of their text, with the entries of their keys: a
// cell seen before takes the key already made for it. The table grows to a few megabytes, and
// then keeps the cells it holds.
class SeenCells {
public:
    SeenCells() : slots_(kFirstSlots) {}

    /// Whether cells are still looked for.
    bool looking() const { return !slots_.empty(); }

    /// Stops looking, for a column of distinct cells.
    void stop() { slots_ = std::vector<Slot>(); }

    /// The entry of the key of `cell`, whose hash is `hash`, if it was seen.
    const Entry* find(std::string_view cell, std::uint64_t hash) const {
        if (slots_.empty()) return nullptr;
        for (std::size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[i];
            if (slot.entry.offset == kNoKey) return nullptr;
            if (slot.hash == hash && slot.cell == cell) return &slot.entry;
        }
    }

    /// Remembers `cell`, not seen before, with the entry of its key, while there is room.
    void add(std::string_view cell, std::uint64_t hash, const Entry& entry) {
        if (slots_.empty()) return;
        if (2 * (count_ + 1) > slots_.size()) {
            if (slots_.size() == kMaxSlots) return;
            const std::vector<Slot> old =
                std::exchange(slots_, std::vector<Slot>(2 * slots_.size()));
            count_ = 0;
            for (const Slot& slot : old) {
                if (slot.entry.offset != kNoKey) place(slot);
            }
        }
        place({cell, hash, entry});
    }

private:
    static constexpr std::uint64_t kNoKey = UINT64_MAX;
    static constexpr std::size_t kFirstSlots = 4096;
    static constexpr std::size_t kMaxSlots = std::size_t{1} << 17;
    struct Slot {
        std::string_view cell;
        std::uint64_t hash = 0;
        Entry entry = {0, kNoKey, 0, 0};
    };

    void place(const Slot& slot) {
        std::size_t i = slot.hash & (slots_.size() - 1);
        while (slots_[i].entry.offset != kNoKey) i = (i + 1) & (slots_.size() - 1);
        slots_[i] = slot;
        ++count_;
    }

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

// Calls `visit(position, table row)` for every record of `list` in the order of its table's rows,
// until a call returns false, and returns whether none did. A list sorted by another column would
// read its cells at random across the whole text; front to back, they come from memory that the
// processor fetches ahead.
template <typename Visit>
bool inTableOrder(const RecordList& list, Visit&& visit) {
    const std::size_t n = list.recordCount();
    bool ascending = true;
    for (std::size_t i = 1; i < n && ascending; ++i) {
        ascending = list.tableRow(i - 1) < list.tableRow(i);
    }
    if (ascending) {
        for (std::size_t i = 0; i < n; ++i) {
            if (!visit(i, list.tableRow(i))) return false;
        }
        return true;
    }
    constexpr std::uint32_t kAbsent = UINT32_MAX;
    HugeVector<std::uint32_t> at(list.table()->rowCount(), kAbsent);  // each row's position
    for (std::size_t i = 0; i < n; ++i) at[list.tableRow(i)] = static_cast<std::uint32_t>(i);
    for (std::size_t row = 0; row < at.size(); ++row) {
        if (at[row] != kAbsent && !visit(at[row], row)) return false;
    }
    return true;
}

// Makes the key of every cell of `column` into `keys`, and the entries that point at them, in the
// order of the table's rows; tells what it made in `made`. Where `asBytes`, each cell is its own
// key, which spares ICU most of a sort's time; that fails, false, at the first cell that is not
// plain.
bool makeKeys(const RecordList& list, std::size_t column, const TextOrder& order, bool asBytes,
              std::string& keys, HugeVector<Entry>& entries, KeysMade& made) {
    // Many columns repeat their cells (a status, a town, a name), and a cell seen before takes
    // the key already made for it for the cost of a hash of its text. A column of distinct
    // cells soon stops paying it, and its keys, sorted as they are, need no numbers.
    SeenCells seen;
    std::size_t repeats = 0;
    std::size_t visited = 0;
    const RecordTable& table = *list.table();
    return inTableOrder(list, [&](std::size_t i, std::size_t row) {
        const std::string_view cell = table.cell(row, column);
        Entry& entry = entries[visited];
        if (visited++ == kTrialCells && repeats < kTrialCells / 16) {
            seen.stop();
            made.numbered = false;
        }
        const std::uint64_t hash = seen.looking() ? hashBytes(cell) : 0;
        if (const Entry* known = seen.find(cell, hash)) {
            entry = *known;
            entry.position = static_cast<std::uint32_t>(i);
            ++repeats;
            return true;
        }
        if (asBytes && !isPlain(cell)) return false;
        const std::size_t room = kNumberBytes + 4 * cell.size() + 64;
        if (keys.capacity() - keys.size() < room) {
            growWithHugePages(keys, std::max(2 * keys.capacity(), keys.size() + room));
        }
        const auto number = static_cast<std::uint32_t>(made.count++);
        if (made.numbered) keys.append(reinterpret_cast<const char*>(&number), kNumberBytes);
        const std::size_t start = keys.size();
        if (asBytes) {
            keys.append(cell);
        } else {
            order.appendKey(keys, cell);
        }
        // A key beyond 4 GiB (a cell of over a billion characters) orders by its first 4 GiB.
        const auto length =
            static_cast<std::uint32_t>(std::min<std::size_t>(keys.size() - start, UINT32_MAX));
        entry = {prefixOf(std::string_view(keys).substr(start)), start, length,
                 static_cast<std::uint32_t>(i)};
        seen.add(cell, hash, entry);
        return true;
    });
}

}  // namespace

std::string collationLocale(const char* lcAll, const char* lcCollate, const char* lang) {
    for (const char* value : {lcAll, lcCollate, lang}) {
        if (value != nullptr && *value != '\0') return value;
    }
    return {};
}

bool TextOrder::checkPlainCells() const { return plainCellsInByteOrder(*this); }

const std::shared_ptr<const TextOrder>& rootOrder() {
    static const auto root = std::make_shared<const TextOrder>();
    return root;
}

RowNumbers orderedRows(const RecordList& list, std::size_t column, const TextOrder& order) {
    const std::size_t n = list.recordCount();
    // Tens of megabytes of keys and entries at a million records, each backed by huge pages
    // before it is written. A key takes a few bytes a character; keys that outgrow their room
    // move into twice as much, before the key that would not fit.
    std::string keys;
    growWithHugePages(keys, n * 32);
    HugeVector<Entry> entries(n);
    // A column of numbers, dates or codes of digits is its own keys where the order allows;
    // should another cell turn up, ICU makes the keys after all.
    KeysMade made;
    if (!order.ordersPlainCellsAsBytes() ||
        !makeKeys(list, column, order, true, keys, entries, made)) {
        keys.clear();
        made = KeysMade();
        makeKeys(list, column, order, false, keys, entries, made);
    }
    RowNumbers rows(n);
    // Where cells repeat, sorting the keys made costs less than sorting the rows.
    if (made.numbered && made.count <= n / 2) {
        orderByRank(keys, made.count, entries, rows);
    } else {
        orderByKey(keys, entries, rows);
    }
    for (std::uint32_t& row : rows) row = static_cast<std::uint32_t>(list.tableRow(row));
    return rows;
}

}  // namespace sorvane::core
