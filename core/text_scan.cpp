#include "text_scan.h"

#include "portable.h"

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

// The sum of the sixteen byte lanes.
std::size_t laneSum(__m128i lanes) {
    const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
    return static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
           static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
}

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
        count += laneSum(lanes);
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
            const unsigned before = (1u << SORVANE_CTZ(crs)) - 1;  // the bytes before the CR
            scan.tabs += bits(tabs & before);
            scan.lineFeeds += bits(lineFeeds & before);
            scan.end = static_cast<std::size_t>(p - begin) + SORVANE_CTZ(crs);
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
#if defined(__SSE2__)
    if (row.size() >= kBlock) {
        // A row is a handful of blocks, so its TABs are counted in byte lanes and its spaces
        // gathered in one vector, and both are added up once at its end.
        const __m128i tab = _mm_set1_epi8('\t');
        const __m128i space = _mm_set1_epi8(' ');
        __m128i tabs = _mm_setzero_si128();
        __m128i spaces = _mm_setzero_si128();
        auto look = [&](__m128i block, __m128i lanes) {
            tabs = _mm_sub_epi8(tabs, _mm_and_si128(_mm_cmpeq_epi8(block, tab), lanes));
            spaces = _mm_or_si128(spaces, _mm_and_si128(_mm_cmpeq_epi8(block, space), lanes));
        };
        const __m128i all = _mm_set1_epi8(-1);
        for (int inLanes = 0; end - p >= static_cast<std::ptrdiff_t>(kBlock);
             p += kBlock, out += kBlock) {
            const __m128i block = load(p);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
            look(block, all);
            if (++inLanes == 255) {  // before a lane could overflow
                marks.tabs += laneSum(tabs);
                tabs = _mm_setzero_si128();
                inLanes = 0;
            }
        }
        if (p < end) {
            // The last sixteen bytes of the row, written again over those the loop wrote already
            // and looked at only in the lanes the loop has not seen.
            const auto rest = static_cast<char>(end - p);
            const __m128i fresh = _mm_cmpgt_epi8(
                _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                _mm_set1_epi8(static_cast<char>(kBlock - 1) - rest));
            const __m128i block = load(end - kBlock);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (end - p) - kBlock), block);
            look(block, fresh);
        }
        marks.tabs += laneSum(tabs);
        marks.spaces = _mm_movemask_epi8(spaces) != 0;
        return marks;
    }
#endif
    for (; p < end; ++p) {
        *out++ = *p;
        marks.tabs += *p == '\t';
        marks.spaces = marks.spaces || *p == ' ';
    }
    return marks;
}

}  // namespace sorvane::core
