#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace sorvane::core {

// Hashing of short texts (keys, cells) for the tables that find them again.

// The first n bytes at p (n below 8) as the low bytes of a word, the rest zero. Two loads that
// may overlap, instead of copying a variable count of bytes through memory, which would cost a
// library call and a stalled reload on every key.
inline std::uint64_t shortWord(const char* p, std::size_t n) {
    if (n >= 4) {
        std::uint32_t low;
        std::uint32_t high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + n - 4, 4);
        return low | (std::uint64_t{high} << ((n - 4) * 8));
    }
    if (n == 0) return 0;
    const auto byte = [p](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(p[i])}; };
    return byte(0) | byte(n / 2) << (n / 2 * 8) | byte(n - 1) << ((n - 1) * 8);
}

// A 64-bit hash of the bytes: eight at a time, then a final mix so every bit spreads.
inline std::uint64_t hashBytes(std::string_view s) {
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
    h = (h ^ shortWord(p, n)) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 32);
}

}  // namespace sorvane::core
