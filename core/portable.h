#pragma once

// The few compiler-specific constructs of the engine, each with a plain fallback, so that the
// engine builds with any C++20 compiler. Under GCC and Clang (MinGW-w64 included) each macro is
// exactly the builtin or attribute it names.

#if defined(__GNUC__)

/// Makes a function always inlined, as one that only prefetches must be (see record_table.h).
#define SORVANE_ALWAYS_INLINE [[gnu::always_inline]]

/// Asks the processor to fetch the cache line at address `p` ahead of its use.
#define SORVANE_PREFETCH(p) __builtin_prefetch(p)

/// The number of zero bits below the lowest set bit of the unsigned int `x`, which is not 0.
#define SORVANE_CTZ(x) __builtin_ctz(x)

#else

#include <bit>

#if defined(_MSC_VER)
#include <intrin.h>
#define SORVANE_ALWAYS_INLINE __forceinline
#if defined(_M_X64) || defined(_M_IX86)
#define SORVANE_PREFETCH(p) _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0)
#else
#define SORVANE_PREFETCH(p) static_cast<void>(p)
#endif
#else
#define SORVANE_ALWAYS_INLINE
#define SORVANE_PREFETCH(p) static_cast<void>(p)
#endif

#define SORVANE_CTZ(x) std::countr_zero(x)

#endif

#include <cstddef>
#include <memory>

namespace sorvane::core {

/// Room for `size` chars, left unwritten: std::make_unique_for_overwrite where the standard
/// library has it, and the same `new char[]` elsewhere (Emscripten's libc++ lacks it).
inline std::unique_ptr<char[]> uninitializedChars(std::size_t size) {
#if defined(__cpp_lib_smart_ptr_for_overwrite)
    return std::make_unique_for_overwrite<char[]>(size);
#else
    return std::unique_ptr<char[]>(new char[size]);
#endif
}

}  // namespace sorvane::core
