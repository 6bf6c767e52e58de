#include "text_order.h"

#include <algorithm>
#include <climits>
#include <compare>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <utility>
#include <vector>

#include "byte_hash.h"
#include "memory_advice.h"
#include "parallel.h"

namespace sorvane::core {
namespace {

// Where a key stands: the buffer it was made in (the keys of a column made on several threads
// stand in one buffer for each), and its offset there.
constexpr int kOffsetBits = 61;
constexpr std::size_t kMostBuffers = std::size_t{1} << (64 - kOffsetBits);

// The first key bytes of a cell, big-endian, for a quick first comparison: eight bytes, in
// which ICU's keys hold eight letters or digits; sixteen on Windows, whose keys take two bytes a
// character, where eight would leave a column of codes such as K288239 tied on their first four
// characters, a thousand rows to a tie, each broken by reading both keys.
#if defined(_WIN32)
constexpr std::size_t kPrefixWords = 2;
#else
constexpr std::size_t kPrefixWords = 1;
#endif

struct Prefix {
    std::uint64_t words[kPrefixWords];
    auto operator<=>(const Prefix&) const = default;
};

struct Entry {
    Prefix prefix;
    std::uint64_t place;     // buffer and offset, as placeOf() packs them
    std::uint32_t length;    // a key beyond 4 GiB orders by its first 4 GiB
    std::uint32_t position;  // position in the list before sorting, which breaks ties

    std::size_t buffer() const { return place >> kOffsetBits; }
    std::size_t offset() const { return place & ((std::uint64_t{1} << kOffsetBits) - 1); }
};

std::uint64_t placeOf(std::size_t buffer, std::size_t offset) {
    return (std::uint64_t{buffer} << kOffsetBits) | offset;
}

// The key buffers of a column: one, or one for each thread that made its keys.
struct KeyBuffers {
    std::vector<std::string> buffers = std::vector<std::string>(1);

    std::string_view keyOf(const Entry& e) const {
        return std::string_view(buffers[e.buffer()]).substr(e.offset(), e.length);
    }
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

std::uint32_t numberOf(const KeyBuffers& keys, const Entry& e) {
    std::uint32_t number;
    std::memcpy(&number, keys.buffers[e.buffer()].data() + e.offset() - kNumberBytes, kNumberBytes);
    return number;
}

// The first bytes of a key as a prefix, 0 past its end.
Prefix prefixOf(std::string_view key) {
    Prefix prefix{};
    for (std::size_t i = 0; i < 8 * kPrefixWords; ++i) {
        std::uint64_t& word = prefix.words[i / 8];
        word = (word << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    }
    return prefix;
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
    for (std::size_t i = 1; i < cells.size(); ++i) {
        if (order.compare(cells[i - 1], cells[i]) >= 0) return false;
    }
    return true;
}

// Orders `entries` by their keys, equal keys in list order.
void orderByKey(const KeyBuffers& keys, ScratchVector<Entry>& entries) {
    std::sort(entries.begin(), entries.end(), [&keys](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        const int c = keys.keyOf(a).compare(keys.keyOf(b));
        return c != 0 ? c < 0 : a.position < b.position;
    });
}

// The same for a column whose cells repeat, a status or a town, for whose rows `made` keys were
// made, each after its number: only those keys are sorted, and the rows are dealt out by the
// rank of their key, in list order within a rank. Equal keys made more than once share a rank.
void orderByRank(const KeyBuffers& all, std::size_t made, const ScratchVector<Entry>& entries,
                 RowNumbers& rows) {
    std::vector<std::string_view> keys(made);
    for (const Entry& e : entries) keys[numberOf(all, e)] = all.keyOf(e);
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
    ScratchVector<std::uint32_t> rankAtPosition(entries.size());
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

    /// The entry of the key of `cell`, whose hash is `hash`, if it was seen.
    const Entry* find(std::string_view cell, std::uint64_t hash) const {
        for (std::size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[i];
            if (slot.entry.place == kNoKey) return nullptr;
            if (slot.hash == hash && slot.cell == cell) return &slot.entry;
        }
    }

    /// Remembers `cell`, not seen before, with the entry of its key, while there is room.
    void add(std::string_view cell, std::uint64_t hash, const Entry& entry) {
        if (2 * (count_ + 1) > slots_.size()) {
            if (slots_.size() == kMaxSlots) return;
            const std::vector<Slot> old =
                std::exchange(slots_, std::vector<Slot>(2 * slots_.size()));
            count_ = 0;
            for (const Slot& slot : old) {
                if (slot.entry.place != kNoKey) place(slot);
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
        Entry entry = {{}, kNoKey, 0, 0};
    };

    void place(const Slot& slot) {
        std::size_t i = slot.hash & (slots_.size() - 1);
        while (slots_[i].entry.place != kNoKey) i = (i + 1) & (slots_.size() - 1);
        slots_[i] = slot;
        ++count_;
    }

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

// The records of a list in the order of its table's rows: visit k is the record at position(k)
// in the list, whose cells stand in row(k) of the table. A list sorted by another column would
// read its cells at random across the whole text; in table order, they come from memory that the
// processor fetches ahead.
class TableOrder {
public:
    explicit TableOrder(const RecordList& list) : list_(list) {
        const std::size_t n = list.recordCount();
        bool ascending = true;
        for (std::size_t i = 1; i < n && ascending; ++i) {
            ascending = list.tableRow(i - 1) < list.tableRow(i);
        }
        if (ascending) return;
        at_.assign(list.table()->rowCount(), kAbsent);
        for (std::size_t i = 0; i < n; ++i) at_[list.tableRow(i)] = static_cast<std::uint32_t>(i);
    }

    std::size_t size() const { return list_.recordCount(); }

    /// Calls visit(k, position, row) for each visit k in [from, to), until a call returns false;
    /// returns whether none did.
    template <typename Visit>
    bool visit(std::size_t from, std::size_t to, Visit&& visit) const {
        if (at_.empty()) {
            for (std::size_t k = from; k < to; ++k) {
                if (!visit(k, k, list_.tableRow(k))) return false;
            }
            return true;
        }
        std::size_t row = 0;
        for (std::size_t seen = 0; seen < from; ++row) seen += at_[row] != kAbsent;
        for (std::size_t k = from; k < to; ++row) {
            if (at_[row] == kAbsent) continue;
            if (!visit(k, at_[row], row)) return false;
            ++k;
        }
        return true;
    }

private:
    static constexpr std::uint32_t kAbsent = UINT32_MAX;
    const RecordList& list_;
    // Each row's position in the list, kAbsent for rows it does not hold; empty where the list
    // is in the order of its rows.
    ScratchVector<std::uint32_t> at_;
};

// A column to make keys of, and how: where `asBytes`, each cell is its own key, which spares the
// collation most of a sort's time.
struct KeyColumn {
    const TableOrder& visits;
    const RecordTable& table;
    std::size_t index;
    bool asBytes;
};

// Appends the key of `cell`, at `position` in the list, to `keys`, key buffer number `buffer`,
// after `number` where one is given, and sets its entry. False where the column is its own keys
// and the cell is not plain.
bool appendKeyOf(const KeyColumn& column, const TextOrder& order, std::size_t position,
                 std::string_view cell, const std::uint32_t* number, std::size_t buffer,
                 std::string& keys, Entry& entry) {
    if (column.asBytes && !isPlain(cell)) return false;
    const std::size_t room = kNumberBytes + 4 * cell.size() + 64;
    if (keys.capacity() - keys.size() < room) {
        growWithHugePages(keys, std::max(2 * keys.capacity(), keys.size() + room));
    }
    if (number != nullptr) keys.append(reinterpret_cast<const char*>(number), kNumberBytes);
    const std::size_t start = keys.size();
    if (column.asBytes) {
        keys.append(cell);
    } else {
        order.appendKey(keys, cell);
    }
    const std::string_view key = std::string_view(keys).substr(start);
    entry = {prefixOf(key), placeOf(buffer, start),
             static_cast<std::uint32_t>(std::min<std::size_t>(key.size(), UINT32_MAX)),
             static_cast<std::uint32_t>(position)};
    return true;
}

// Makes a key for each of visits [from, to) into key buffer number `buffer`, without looking
// for repeats or numbering them.
bool makeEachKey(const KeyColumn& column, const TextOrder& order, std::size_t from,
                 std::size_t to, std::size_t buffer, std::string& keys,
                 ScratchVector<Entry>& entries) {
    return column.visits.visit(from, to, [&](std::size_t k, std::size_t position, std::size_t row) {
        const std::string_view cell = column.table.cell(row, column.index);
        return appendKeyOf(column, order, position, cell, nullptr, buffer, keys, entries[k]);
    });
}

// Below this many cells a thread of its own costs more than it spares.
constexpr std::size_t kCellsForAThread = 8192;

// makeEachKey for visits [from, size), in parts made at once, one on each processor: a sort of
// a million distinct cells spends most of its time in the collation. Each part but the first
// has rules of its own, and a key buffer of its own, where its keys stay.
bool makeEachKeyAtOnce(const KeyColumn& column, const TextOrder& order, std::size_t from,
                       KeyBuffers& keys, ScratchVector<Entry>& entries) {
    const std::size_t to = column.visits.size();
    // Cells that are their own keys are only copied, which costs less than a thread.
    std::size_t parts =
        column.asBytes ? 1 : std::min(partsFor(to - from, kCellsForAThread), kMostBuffers);
    std::vector<std::unique_ptr<const TextOrder>> orders;
    while (orders.size() + 1 < parts) {
        orders.push_back(order.forAnotherThread());
        if (orders.back() == nullptr) parts = 1;  // rules that make keys on one thread only
    }
    if (parts == 1) return makeEachKey(column, order, from, to, 0, keys.buffers[0], entries);
    keys.buffers.resize(parts);
    std::vector<char> plain(parts, 1);
    const std::size_t share = (to - from) / parts;
    inParallel(parts, [&](std::size_t p) {
        const std::size_t first = from + p * share;
        const std::size_t last = p + 1 == parts ? to : first + share;
        if (p > 0) growWithHugePages(keys.buffers[p], (last - first) * 32);
        plain[p] = makeEachKey(column, p == 0 ? order : *orders[p - 1], first, last, p,
                               keys.buffers[p], entries);
    });
    return std::all_of(plain.begin(), plain.end(), [](char c) { return c != 0; });
}

// Makes the key of every cell of the column into `keys`, and the entries that point at them, in
// the order of the table's rows; tells what it made in `made`. Where the column is its own keys,
// that fails, false, at the first cell that is not plain.
bool makeKeys(const KeyColumn& column, const TextOrder& order, KeyBuffers& keys,
              ScratchVector<Entry>& entries, KeysMade& made) {
    // Many columns repeat their cells (a status, a town, a name), and a cell seen before takes
    // the key already made for it for the cost of a hash of its text. A column of distinct
    // cells soon stops paying it, and its keys, sorted as they are, need no numbers.
    SeenCells seen;
    std::size_t repeats = 0;
    bool distinct = false;
    const std::size_t n = column.visits.size();
    const bool plain = column.visits.visit(0, n, [&](std::size_t k, std::size_t position,
                                                     std::size_t row) {
        if (k == kTrialCells && repeats < kTrialCells / 16) {
            distinct = true;
            return false;
        }
        const std::string_view cell = column.table.cell(row, column.index);
        const std::uint64_t hash = hashBytes(cell);
        if (const Entry* known = seen.find(cell, hash)) {
            entries[k] = *known;
            entries[k].position = static_cast<std::uint32_t>(position);
            ++repeats;
            return true;
        }
        const auto number = static_cast<std::uint32_t>(made.count++);
        if (!appendKeyOf(column, order, position, cell, &number, 0, keys.buffers[0],
                         entries[k])) {
            return false;
        }
        seen.add(cell, hash, entries[k]);
        return true;
    });
    if (!distinct) return plain;
    made.numbered = false;
    made.count += n - kTrialCells;
    return makeEachKeyAtOnce(column, order, kTrialCells, keys, entries);
}

}  // namespace

#if defined(__EMSCRIPTEN__)
// The rows of a column that is not its own keys, under a collation that makes no keys: its
// distinct cells ranked by the browser, defined with the browser's half of TextOrder.
RowNumbers rankedRows(const RecordList& list, std::size_t column, const TextOrder& order);
#else
int TextOrder::compare(std::string_view a, std::string_view b) const {
    std::string keyA, keyB;
    appendKey(keyA, a);
    appendKey(keyB, b);
    return keyA.compare(keyB);
}
#endif

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
    ScratchVector<Entry> entries(n);
    RowNumbers rows;
    {
        // Tens of megabytes of keys and entries at a million records, each backed by huge pages
        // before it is written. A key takes a few bytes a character; keys that outgrow their
        // room move into twice as much, before the key that would not fit.
        KeyBuffers keys;
        growWithHugePages(keys.buffers[0], n * 32);
        KeysMade made;
        {
            // A column of numbers, dates or codes of digits is its own keys where the order
            // allows; should another cell turn up, the collation makes the keys after all.
            const TableOrder visits(list);
            const bool asBytes =
                order.ordersPlainCellsAsBytes() &&
                makeKeys({visits, *list.table(), column, true}, order, keys, entries, made);
#if defined(__EMSCRIPTEN__)
            if (!asBytes) return rankedRows(list, column, order);
#endif
            if (!asBytes) {
                keys.buffers.resize(1);
                keys.buffers[0].clear();
                made = KeysMade();
                makeKeys({visits, *list.table(), column, false}, order, keys, entries, made);
            }
        }
        // Where cells repeat, sorting the keys made costs less than sorting the rows.
        if (made.numbered && made.count <= n / 2) {
            rows.resize(n);
            orderByRank(keys, made.count, entries, rows);
        } else {
            orderByKey(keys, entries);
        }
    }
    // The rows are made once the keys are gone, which lowers the sort's peak by as much.
    if (rows.empty()) {
        rows.resize(n);
        for (std::size_t i = 0; i < n; ++i) rows[i] = entries[i].position;
    }
    for (std::uint32_t& row : rows) row = static_cast<std::uint32_t>(list.tableRow(row));
    return rows;
}

}  // namespace sorvane::core
