#include "text_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sorvane::core {
namespace {

#if defined(__SSE2__)
constexpr std::size_t kBlock = 16;

// One bit per byte of the sixteen at `p` that equal the byte of `pattern`.
unsigned matches(__m128i block, __m128i pattern) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, pattern)));
}

__m128i load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// Set bits of a sixteen-bit mask. Without the POPCNT instruction, which the x86-64 baseline
// lacks, the compiler's popcount is a library call; this is a few instructions in line.
std::size_t bits(unsigned mask) {
    mask = mask - ((mask >> 1) & 0x5555u);
    mask = (mask & 0x3333u) + ((mask >> 2) & 0x3333u);
    mask = (mask + (mask >> 4)) & 0x0F0Fu;
    return (mask + (mask >> 8)) & 0x1Fu;
}
#endif

}  // namespace

std::size_t countOf(std::string_view text, char ch) {
    const char* p = text.data();
    const char* const end = p + text.size();
    std::size_t count = 0;
#if defined(__SSE2__)
    // Each byte lane counts its matches (a match compares as -1) for up to 255 blocks; the sum
    // of absolute differences then adds the lanes up.
    const __m128i pattern = _mm_set1_epi8(ch);
    while (end - p >= static_cast<std::ptrdiff_t>(kBlock)) {
        __m128i lanes = _mm_setzero_si128();
        for (int i = 0; i < 255 && end - p >= static_cast<std::ptrdiff_t>(kBlock); ++i, p += kBlock) {
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(load(p), pattern));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
    }
#endif
    for (; p < end; ++p) count += *p == ch;
    return count;
}

RowScan scanRow(std::string_view text, std::size_t from) {
    const char* const begin = text.data();
    const char* p = begin + from;
    const char* const end = begin + text.size();
    RowScan scan{text.size(), 0, 0};
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - p >= static_cast<std::ptrdiff_t>(kBlock); p += kBlock) {
        const __m128i block = load(p);
        unsigned tabs = matches(block, tab);
        unsigned lineFeeds = matches(block, lf);
        const unsigned crs = matches(block, cr);
        if (crs != 0) {
            const unsigned before = (1u << __builtin_ctz(crs)) - 1;  // the bytes before the CR
            scan.tabs += bits(tabs & before);
            scan.lineFeeds += bits(lineFeeds & before);
            scan.end = static_cast<std::size_t>(p - begin) + __builtin_ctz(crs);
            return scan;
        }
        scan.tabs += bits(tabs);
        scan.lineFeeds += bits(lineFeeds);
    }
#endif
    for (; p < end; ++p) {
        if (*p == '\r') {
            scan.end = static_cast<std::size_t>(p - begin);
            return scan;
        }
        scan.tabs += *p == '\t';
        scan.lineFeeds += *p == '\n';
    }
    return scan;
}

RowMarks copyRow(std::string_view row, char* out) {
    const char* p = row.data();
    const char* const end = p + row.size();
    RowMarks marks{0, false};
    unsigned spaces = 0;
#if defined(__SSE2__)
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i space = _mm_set1_epi8(' ');
    for (; end - p >= static_cast<std::ptrdiff_t>(kBlock); p += kBlock, out += kBlock) {
        const __m128i block = load(p);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
        marks.tabs += bits(matches(block, tab));
        spaces |= matches(block, space);
    }
    if (p < end && row.size() >= kBlock) {
        // The last sixteen bytes of the row, written again over those the loop wrote already and
        // counted only where the loop has not seen them.
        const std::size_t rest = static_cast<std::size_t>(end - p);
        const unsigned fresh = 0xFFFFu << (kBlock - rest);
        const __m128i block = load(end - kBlock);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + rest - kBlock), block);
        marks.tabs += bits(matches(block, tab) & fresh);
        spaces |= matches(block, space) & fresh;
        p = end;
    }
#endif
    for (; p < end; ++p) {
        *out++ = *p;
        marks.tabs += *p == '\t';
        spaces |= *p == ' ';
    }
    marks.spaces = spaces != 0;
    return marks;
}

}  // namespace sorvane::core
