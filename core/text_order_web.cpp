// The half of TextOrder in a browser, over the browser's own collation (Intl.Collator). It makes
// no sort keys: a column is ordered by ranking its distinct cells in one sort in JavaScript, or
// by their bytes where the collator is found to order all of them so, and the records are dealt
// out by the rank of their cell.

#include "text_order.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "byte_hash.h"
#include "clipboard_text.h"
#include "huge_vector.h"
#include "record_table.h"

// Collators live in JavaScript, numbered; 0 is none. Pointers come from WebAssembly as signed
// 32-bit numbers, so every one is made unsigned (>>> 0) before it indexes memory above 2 GiB.
// The code here keeps to the JavaScript that Emscripten's own tools read.

// Opens a collator for the BCP 47 tag `tag` (empty: the browser's default): accents separate
// words and case does not. A tag the browser does not know gives the default too.
EM_JS(int, sorvane_collator_open, (const char* tag), {
    var name = UTF8ToString(tag);
    var options = {sensitivity : "accent", usage : "sort"};
    var collator;
    try {
        collator = new Intl.Collator(name ? [name] : [], options);
    } catch (e) {
        collator = new Intl.Collator([], options);
    }
    if (!Module.sorvaneCollators) Module.sorvaneCollators = [null];
    Module.sorvaneCollators.push(collator);
    return Module.sorvaneCollators.length - 1;
});

EM_JS(void, sorvane_collator_close, (int id), { Module.sorvaneCollators[id] = null; });

// The locale the collator resolved, written at `out` with room for `room` bytes.
EM_JS(void, sorvane_collator_locale, (int id, char* out, int room), {
    stringToUTF8(Module.sorvaneCollators[id].resolvedOptions().locale, out, room);
});

// UTF-16 text at `at`, `units` long, as a JavaScript string.
EM_JS(void, sorvane_define_text_of, (), {
    Module.sorvaneTextOf = function(at, units) {
        if (units === 0) return "";
        var begin = (at >>> 0) / 2;
        var view = HEAPU16.subarray(begin, begin + units);
        if (units < 64) return String.fromCharCode.apply(null, view);
        return new TextDecoder("utf-16le").decode(view);
    };
});

EM_JS(int, sorvane_collator_compare, (int id, const char16_t* a, int aUnits, const char16_t* b,
                                      int bUnits), {
    var textOf = Module.sorvaneTextOf;
    return Module.sorvaneCollators[id].compare(textOf(a, aUnits), textOf(b, bUnits));
});

// Ranks `count` texts, which stand one after another as UTF-16 at `text`, text k ending at
// ends[k]: ranks[k] is the place of text k in the collator's order, equal texts sharing one.
// Returns how many ranks there are. One sort by the collator's compare, whose ties the ranks
// then find in one pass.
EM_JS(int, sorvane_collator_rank, (int id, const char16_t* text, const uint32_t* ends, int count,
                                   uint32_t* ranks), {
    var compare = Module.sorvaneCollators[id].compare;
    var endsView = HEAPU32.subarray((ends >>> 0) / 4, (ends >>> 0) / 4 + count);
    var total = count > 0 ? endsView[count - 1] : 0;
    var texts = new Array(count);
    // One decoding of the whole text, cut into cells, costs far less than one a cell; past
    // the length of the longest string a browser makes, each cell is decoded alone.
    var start = 0;
    var k;
    if (total < (1 << 28)) {
        var all = Module.sorvaneTextOf(text, total);
        for (k = 0; k < count; ++k) {
            texts[k] = all.substring(start, endsView[k]);
            start = endsView[k];
        }
    } else {
        for (k = 0; k < count; ++k) {
            texts[k] = Module.sorvaneTextOf((text >>> 0) + 2 * start, endsView[k] - start);
            start = endsView[k];
        }
    }
    var order = new Array(count);
    for (k = 0; k < count; ++k) order[k] = k;
    order.sort(function(a, b) { return compare(texts[a], texts[b]); });
    var ranksView = HEAPU32.subarray((ranks >>> 0) / 4, (ranks >>> 0) / 4 + count);
    var rank = 0;
    for (k = 0; k < count; ++k) {
        if (k > 0 && compare(texts[order[k - 1]], texts[order[k]]) !== 0) ++rank;
        ranksView[order[k]] = rank;
    }
    return count > 0 ? rank + 1 : 0;
});

// Whether the collator orders every text made of the `count` ASCII characters at `alphabet` as
// their bytes order it. Strings of up to two of them tell: a character the collator passes over
// ties with the empty text, two that it does not separate (as case) tie, a pair it takes as one
// letter (as Czech "ch") or a letter it puts elsewhere (as Estonian "z") leaves its place; where
// none does, longer texts compare character by character in the same order.
EM_JS(int, sorvane_collator_orders_as_bytes, (int id, const char* alphabet, int count), {
    var compare = Module.sorvaneCollators[id].compare;
    var characters = [];
    for (var k = 0; k < count; ++k) {
        characters.push(String.fromCharCode(HEAPU8[(alphabet >>> 0) + k]));
    }
    var texts = [""];
    for (var a = 0; a < count; ++a) {
        texts.push(characters[a]);
        for (var b = 0; b < count; ++b) texts.push(characters[a] + characters[b]);
    }
    texts.sort();  // by code unit, which for ASCII is by byte
    for (var i = 1; i < texts.length; ++i) {
        if (compare(texts[i - 1], texts[i]) >= 0) return 0;
    }
    return 1;
});

// Lowers the case of UTF-16 text in place, a character at a time, each only where it lowers to
// one character of the same length, as Windows and ICU fold case.
EM_JS(void, sorvane_lower_each, (char16_t* text, int units), {
    var view = HEAPU16.subarray((text >>> 0) / 2, (text >>> 0) / 2 + units);
    for (var at = 0; at < units;) {
        var c = view[at];
        var length = c >= 0xD800 && c < 0xDC00 && at + 1 < units && view[at + 1] >= 0xDC00 &&
                             view[at + 1] < 0xE000
                         ? 2
                         : 1;
        var character = String.fromCharCode.apply(null, view.subarray(at, at + length));
        var lower = character.toLowerCase();
        if (lower.length === length) {
            for (var i = 0; i < length; ++i) view[at + i] = lower.charCodeAt(i);
        }
        at += length;
    }
});

namespace sorvane::core {

struct TextOrder::Rules {
    int collator;
    ~Rules() { sorvane_collator_close(collator); }
};

namespace {

// The BCP 47 tag of a locale named as POSIX names it ("sv_SE.UTF-8@euro" is "sv-SE") or as the
// browser does; the C locale, like no name at all, is the browser's default.
std::string tagOf(std::string_view locale) {
    std::string tag(locale.substr(0, locale.find_first_of(".@")));
    if (tag == "C" || tag == "POSIX") return {};
    for (char& c : tag) {
        if (c == '_') c = '-';
    }
    return tag;
}

int openCollator(std::string_view locale) {
    static const bool defined = (sorvane_define_text_of(), true);
    static_cast<void>(defined);
    return sorvane_collator_open(tagOf(locale).c_str());
}

// Where each record's cell stands among the distinct cells of its column, found by a hash of
// the cell: the distinct cells, in the order first seen, and each record's number among them.
struct DistinctCells {
    std::vector<std::string_view> cells;
    HugeVector<std::uint32_t> numbers;
};

DistinctCells distinctCells(const RecordList& list, std::size_t column) {
    const std::size_t n = list.recordCount();
    DistinctCells d;
    d.numbers.resize(n);
    std::size_t slotCount = 1024;
    while (slotCount < 2 * n) slotCount *= 2;
    constexpr std::uint32_t kEmpty = UINT32_MAX;
    std::vector<std::uint32_t> slots(slotCount, kEmpty);
    for (std::size_t r = 0; r < n; ++r) {
        const std::string_view cell = list.cell(r, column);
        std::size_t i = hashBytes(cell) & (slotCount - 1);
        while (slots[i] != kEmpty && d.cells[slots[i]] != cell) i = (i + 1) & (slotCount - 1);
        if (slots[i] == kEmpty) {
            slots[i] = static_cast<std::uint32_t>(d.cells.size());
            d.cells.push_back(cell);
        }
        d.numbers[r] = slots[i];
    }
    return d;
}

// The rank of each distinct cell in `order`, and how many ranks there are.
std::vector<std::uint32_t> ranksOf(const std::vector<std::string_view>& cells, int collator,
                                   std::uint32_t& rankCount) {
    std::vector<std::uint32_t> ends(cells.size());
    std::size_t units = 0;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        units += utf16Length(cells[k]);
        if (units > UINT32_MAX) throw std::bad_alloc();  // beyond what the browser holds
        ends[k] = static_cast<std::uint32_t>(units);
    }
    std::vector<std::uint32_t> ranks(cells.size());
    {
        HugeVector<char16_t> text(units);
        char16_t* at = text.data();
        for (const std::string_view cell : cells) at += writeUtf16(cell, at);
        rankCount = static_cast<std::uint32_t>(
            sorvane_collator_rank(collator, text.data(), ends.data(),
                                  static_cast<int>(cells.size()), ranks.data()));
    }
    return ranks;
}

// The rank of each distinct cell by its bytes, where the collator orders every cell as its bytes
// (codes, words of one case in a script without accents): the browser is then not asked about
// each cell at all. Empty where it would order them otherwise.
std::vector<std::uint32_t> byteRanksOf(const std::vector<std::string_view>& cells, int collator) {
    bool used[128] = {};
    for (const std::string_view cell : cells) {
        for (const char c : cell) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte > 0x7E) return {};  // beyond printable ASCII
            used[byte] = true;
        }
    }
    std::string alphabet;
    for (int c = 0x20; c <= 0x7E; ++c) {
        if (used[c]) alphabet += static_cast<char>(c);
    }
    if (!sorvane_collator_orders_as_bytes(collator, alphabet.data(),
                                          static_cast<int>(alphabet.size()))) {
        return {};
    }
    std::vector<std::uint32_t> order(cells.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<std::uint32_t>(k);
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return cells[a] < cells[b]; });
    std::vector<std::uint32_t> ranks(cells.size());
    for (std::size_t k = 0; k < order.size(); ++k) ranks[order[k]] = static_cast<std::uint32_t>(k);
    return ranks;
}

}  // namespace

RowNumbers rankedRows(const RecordList& list, std::size_t column, const TextOrder& order);

TextOrder::TextOrder(std::string_view locale)
    : rules_(new Rules{openCollator(locale)}), plainAsBytes_(checkPlainCells()) {}

TextOrder::~TextOrder() = default;

void TextOrder::appendKey(std::string&, std::string_view) const {
    throw std::logic_error("the browser's collation makes no sort keys");
}

int TextOrder::compare(std::string_view a, std::string_view b) const {
    const std::u16string a16 = utf16Of(a), b16 = utf16Of(b);
    return sorvane_collator_compare(rules_->collator, a16.data(), static_cast<int>(a16.size()),
                                    b16.data(), static_cast<int>(b16.size()));
}

std::unique_ptr<const TextOrder> TextOrder::forAnotherThread() const { return nullptr; }

std::string TextOrder::ruleLocale() const {
    char name[128] = {};
    sorvane_collator_locale(rules_->collator, name, sizeof name);
    return name;
}

// A column's distinct cells are ranked once each, however often they repeat, and the records
// are dealt out by rank in list order, which keeps equal cells in the order they had.
RowNumbers rankedRows(const RecordList& list, std::size_t column, const TextOrder& order) {
    std::uint32_t rankCount = 0;
    std::vector<std::uint32_t> ranks;
    HugeVector<std::uint32_t> numbers;
    {
        DistinctCells distinct = distinctCells(list, column);
        ranks = byteRanksOf(distinct.cells, order.rules_->collator);
        if (ranks.empty()) {
            ranks = ranksOf(distinct.cells, order.rules_->collator, rankCount);
        } else {
            rankCount = static_cast<std::uint32_t>(ranks.size());
        }
        numbers = std::move(distinct.numbers);
    }
    std::vector<std::size_t> next(std::size_t{rankCount} + 1, 0);
    for (const std::uint32_t number : numbers) ++next[ranks[number] + 1];
    for (std::size_t r = 1; r < next.size(); ++r) next[r] += next[r - 1];
    RowNumbers rows(numbers.size());
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        rows[next[ranks[numbers[k]]]++] = static_cast<std::uint32_t>(list.tableRow(k));
    }
    return rows;
}

std::u16string foldCase(std::u16string_view text) {
    std::u16string folded(text);
    sorvane_lower_each(folded.data(), static_cast<int>(folded.size()));
    return folded;
}

}  // namespace sorvane::core
