#include "memory_advice.h"

#include <cstdint>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace sorvane::core {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// A buffer smaller than this may hold no whole huge page, depending on where it starts.
constexpr std::size_t kLargeBuffer = 2 * kHugePage;

// Rooms from half a huge page up take whole huge pages. The unused end of the last one, less than
// a huge page, costs less than faulting a megabyte or more in 4 KB at a time.
constexpr std::size_t kSmallestHugeRoom = kHugePage / 2;

// Advises the whole huge pages inside [data, data + bytes).
void adviseWholePages(const void* data, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
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

}  // namespace

void preferHugePages(const void* data, std::size_t bytes) {
    if (bytes >= kLargeBuffer) adviseWholePages(data, bytes);
}

void growWithHugePages(std::string& text, std::size_t capacity) {
    std::string room;
    room.reserve(capacity);
    preferHugePages(room.data(), room.capacity());
    room.append(text);
    text.swap(room);
}

void giveBackUnusedEnd(char* data, std::size_t used, std::size_t room) {
#if defined(MADV_DONTNEED) && defined(MADV_NOHUGEPAGE)
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    if (used == 0) return;
    const std::uintptr_t page = (begin + used - 1) & ~(kHugePage - 1);
    if (page < begin || page + kHugePage > begin + room) return;
    // Worth it where most of the page is unused: its used part is set aside, the whole page
    // given back, and the part written again in small pages.
    const std::size_t kept = begin + used - page;
    if (kept > kHugePage / 2) return;
    char* const start = reinterpret_cast<char*>(page);
    const std::string copy(start, kept);
    if (madvise(start, kHugePage, MADV_DONTNEED) != 0) return;
    madvise(start, kHugePage, MADV_NOHUGEPAGE);
    std::memcpy(start, copy.data(), kept);
#else
    (void)data;
    (void)used;
    (void)room;
#endif
}

std::size_t hugeBackedSize(std::size_t bytes) {
    return bytes < kSmallestHugeRoom ? bytes : (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

void* allocateHugeBacked(std::size_t bytes) {
    if (bytes < kSmallestHugeRoom) return ::operator new(bytes);
    const std::size_t whole = hugeBackedSize(bytes);
    if (whole < bytes) throw std::bad_alloc();
    void* room = ::operator new(whole, std::align_val_t{kHugePage});
    adviseWholePages(room, whole);
    return room;
}

void freeHugeBacked(void* room, std::size_t bytes) noexcept {
    if (bytes < kSmallestHugeRoom) {
        ::operator delete(room);
    } else {
        ::operator delete(room, std::align_val_t{kHugePage});
    }
}

void releaseFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace sorvane::core
