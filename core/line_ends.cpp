#include "line_ends.h"

#include <cstring>

namespace sorvane::core {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool endsCell(char ch) { return ch == '\t' || ch == '\r' || ch == '\n'; }

std::size_t find(const char* text, std::size_t size, char ch, std::size_t from) {
    if (from >= size) return kNone;  // an empty text may have no address at all
    const void* p = std::memchr(text + from, ch, size - from);
    return p ? static_cast<const char*>(p) - text : kNone;
}

// The closing quote of a cell that opens with the double quote at `open`, or kNone when the
// cell turns out not to be quoted.
std::size_t closingQuote(const char* text, std::size_t size, std::size_t open) {
    std::size_t from = open + 1;
    for (;;) {
        const std::size_t quote = find(text, size, '"', from);
        if (quote == kNone) return kNone;
        if (quote + 1 == size || endsCell(text[quote + 1])) return quote;
        if (text[quote + 1] != '"') return kNone;
        from = quote + 2;  // a doubled quote stands for one
    }
}

// Calls plain(from, to) for each stretch of the text outside quoted cells, and
// quoted(open, close) for each quoted cell from its opening to its closing quote, in text order.
template <typename Plain, typename Quoted>
void walkCells(const char* t, std::size_t size, Plain&& plain, Quoted&& quoted) {
    std::size_t from = 0;  // where the stretch not yet handed to plain starts
    std::size_t quote = find(t, size, '"', 0);
    while (quote != kNone) {
        std::size_t next = quote + 1;
        if (quote == 0 || endsCell(t[quote - 1])) {
            const std::size_t close = closingQuote(t, size, quote);
            if (close != kNone) {
                plain(from, quote);
                quoted(quote, close);
                from = next = close + 1;
            }
        }
        quote = next < size ? find(t, size, '"', next) : kNone;
    }
    plain(from, size);
}

}  // namespace

void normalizeLineEnds(char* const t, const std::size_t size) {
    std::size_t converted = kNone;  // the last LF made a CR, which is no CR of the original
    // Every LF in [from, to) lies outside any quoted cell.
    auto endRows = [&](std::size_t from, std::size_t to) {
        while (from < to) {
            const void* p = std::memchr(t + from, '\n', to - from);
            if (p == nullptr) return;
            const std::size_t lf = static_cast<const char*>(p) - t;
            if (lf == 0 || t[lf - 1] != '\r' || converted == lf - 1) {
                t[lf] = '\r';
                converted = lf;
            }
            from = lf + 1;
        }
    };
    walkCells(t, size, endRows, [](std::size_t, std::size_t) {});
}

bool lineFeedsEndRowsOnly(std::string_view text) {
    bool inside = false;
    walkCells(
        text.data(), text.size(), [](std::size_t, std::size_t) {},
        [&](std::size_t open, std::size_t close) {
            inside = inside || text.substr(open, close - open).find('\n') != std::string_view::npos;
        });
    return !inside;
}

}  // namespace sorvane::core
