#include "memory_advice.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace sorvane::core {

void preferHugePages(const void* data, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    if (bytes < 2 * kHugePage) return;
    // Only whole huge pages inside the buffer can be backed by one; the advice covers them.
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHugePage - 1);
    if (end > begin) {
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);  // advice only
    }
#else
    (void)data;
    (void)bytes;
#endif
}

void growWithHugePages(std::string& text, std::size_t capacity) {
    std::string room;
    room.reserve(capacity);
    preferHugePages(room.data(), room.capacity());
    room.append(text);
    text.swap(room);
}

void releaseFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace sorvane::core
