// memcmp and memchr for the Windows build and the page, in place of the C library's.
//
// MinGW-w64 programs call them in msvcrt.dll, and Wine's msvcrt compares and searches one byte
// at a time: sorting a million cells spent more time in its memcmp than in the sort itself, and
// reading a list as long again in its memchr. Emscripten's C library compares a byte at a time
// too, and searches four at a time after a byte loop to align: finding the cell of a key took
// a comparison of a million records three times as long as the rest of reading the key. Defined
// here, these are linked in ahead of the library's, for every caller in the program, the
// standard library included. They read only inside the bytes they are given; WebAssembly's
// SIMD runs the same sixteen-byte operations.

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

// The C library's calling convention, which only 32-bit Windows tells apart.
#if defined(_WIN32)
#define SORVANE_CDECL __cdecl
#else
#define SORVANE_CDECL
#endif

namespace {

std::uint64_t load64(const unsigned char* p) {
    std::uint64_t v;
    __builtin_memcpy(&v, p, sizeof(v));  // a single load, never a call
    return v;
}

}  // namespace

extern "C" int SORVANE_CDECL memcmp(const void* left, const void* right, std::size_t size) {
    const auto* a = static_cast<const unsigned char*>(left);
    const auto* b = static_cast<const unsigned char*>(right);
    while (size >= 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
        const unsigned differ = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, y))) &
                                0xFFFFu;
        if (differ != 0) {
            const unsigned at = static_cast<unsigned>(__builtin_ctz(differ));
            return static_cast<int>(a[at]) - static_cast<int>(b[at]);
        }
        a += 16;
        b += 16;
        size -= 16;
    }
    if (size >= 8) {
        // x86 is little-endian: the lowest set bit of the difference is in the first byte that
        // differs.
        const std::uint64_t differ = load64(a) ^ load64(b);
        if (differ != 0) {
            const unsigned at = static_cast<unsigned>(__builtin_ctzll(differ)) / 8;
            return static_cast<int>(a[at]) - static_cast<int>(b[at]);
        }
        a += 8;
        b += 8;
        size -= 8;
    }
    for (; size > 0; ++a, ++b, --size) {
        if (*a != *b) return static_cast<int>(*a) - static_cast<int>(*b);
    }
    return 0;
}

extern "C" void* SORVANE_CDECL memchr(const void* buffer, int value, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(buffer);
    const auto wanted = static_cast<unsigned char>(value);
    const __m128i pattern = _mm_set1_epi8(static_cast<char>(wanted));
    while (size >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, pattern)));
        if (found != 0) return const_cast<unsigned char*>(p + __builtin_ctz(found));
        p += 16;
        size -= 16;
    }
    for (; size > 0; ++p, --size) {
        if (*p == wanted) return const_cast<unsigned char*>(p);
    }
    return nullptr;
}
