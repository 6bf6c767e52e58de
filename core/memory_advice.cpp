#include "memory_advice.h"

#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

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
// a huge page, costs less than faulting a megabyte or more in 4 KB at a time. WebAssembly's
// memory has no huge pages: there a room so placed would only leave the memory before it and
// after its end unused, in a memory that never shrinks, and every room is as asked.
#if defined(__EMSCRIPTEN__)
constexpr std::size_t kSmallestHugeRoom = SIZE_MAX;
#else
constexpr std::size_t kSmallestHugeRoom = kHugePage / 2;
#endif

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

void freeHugeBacked(void* room, std::size_t bytes) noexcept {
    if (bytes < kSmallestHugeRoom) {
        ::operator delete(room);
    } else {
        ::operator delete(room, std::align_val_t{kHugePage});
    }
}

namespace {

// A room of `whole` bytes, as hugeBackedSize() gives them, not yet touched.
void* freshRoom(std::size_t whole) {
    void* room = ::operator new(whole, std::align_val_t{kHugePage});
    adviseWholePages(room, whole);
    return room;
}

#if defined(__EMSCRIPTEN__)
// WebAssembly's memory only grows, and its allocator reuses what is freed as it is.
constexpr bool kKeepRooms = false;
#else
constexpr bool kKeepRooms = true;
#endif

// At most this much kept at a time; a room that would pass it is given back.
constexpr std::size_t kMostKept = std::size_t{256} << 20;

// Scratch rooms given back, kept for the next ones asked for. Where a fresh room is not backed
// by huge pages (always on Windows, on Linux where they are off), its first touch faults it in
// 4 KB at a time, and on a virtual machine that hands freed memory back to its host each fault
// can cost more than the work done in the page: a comparison of a million records under Wine
// spent two thirds of its time there. A command asked again (another comparison, another
// sort) asks for rooms of the sizes it asked for before, and finds them in memory.
//
// Where no kept room is large enough, as many bytes of kept rooms as the fresh one takes are
// given back first, the oldest first; a paste and a copy, which take memory for text, give all
// back. So what is held beyond the commands' own needs is at most the last command's scratch.
class KeptRooms {
public:
    // Whether rooms are kept at all; when not, those kept are given back.
    void setKeeping(bool keeping) {
        const std::lock_guard<std::mutex> lock(mutex_);
        keeping_ = keeping;
        if (!keeping) releaseUpTo(kMostKept);
    }

    // The smallest kept room of at least `size` bytes, or null when none is that large, and
    // then at least `size` bytes of kept rooms, or all, are given back.
    void* take(std::size_t size) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!keeping_) return nullptr;
        auto best = kept_.end();
        for (auto it = kept_.begin(); it != kept_.end(); ++it) {
            if (it->size >= size && (best == kept_.end() || it->size < best->size)) best = it;
        }
        if (best == kept_.end()) {
            releaseUpTo(size);
            return nullptr;
        }
        const Room room = *best;
        kept_.erase(best);
        keptBytes_ -= room.size;
        if (room.size != size) lent_.push_back(room);
        return room.data;
    }

    // Gives back the oldest kept rooms, at least `size` bytes of them or all.
    void release(std::size_t size = kMostKept) {
        const std::lock_guard<std::mutex> lock(mutex_);
        releaseUpTo(size);
    }

    // Keeps a room asked for as `size` bytes, giving back the oldest kept ones to stay within
    // the bound, or the room itself when it alone passes it or none are kept.
    void keep(void* data, std::size_t size) {
        const std::lock_guard<std::mutex> lock(mutex_);
        Room room{data, size};
        for (auto it = lent_.begin(); it != lent_.end(); ++it) {
            if (it->data == data) {
                room = *it;
                lent_.erase(it);
                break;
            }
        }
        if (!keeping_ || room.size > kMostKept) {
            freeHugeBacked(room.data, room.size);
            return;
        }
        if (keptBytes_ + room.size > kMostKept) releaseUpTo(keptBytes_ + room.size - kMostKept);
        kept_.reserve(kept_.size() + 1);  // throws here, before the room is given to it
        kept_.push_back(room);
        keptBytes_ += room.size;
    }

private:
    struct Room {
        void* data;
        std::size_t size;  // as hugeBackedSize() gives it
    };

    void releaseUpTo(std::size_t size) {
        std::size_t released = 0;
        while (!kept_.empty() && released < size) {
            const Room room = kept_.front();
            kept_.erase(kept_.begin());
            keptBytes_ -= room.size;
            released += room.size;
            freeHugeBacked(room.data, room.size);
        }
    }

    std::mutex mutex_;
    bool keeping_ = true;
    std::vector<Room> kept_;  // oldest first
    std::size_t keptBytes_ = 0;
    std::vector<Room> lent_;  // taken for fewer bytes than they have
};

KeptRooms& keptRooms() {
    static KeptRooms* const rooms = new KeptRooms;  // outlives every command run at exit
    return *rooms;
}

}  // namespace

void* allocateHugeBacked(std::size_t bytes) {
    if (bytes < kSmallestHugeRoom) return ::operator new(bytes);
    const std::size_t whole = hugeBackedSize(bytes);
    if (whole < bytes) throw std::bad_alloc();
    return freshRoom(whole);
}

void* allocateScratch(std::size_t bytes) {
    if (bytes < kSmallestHugeRoom) return ::operator new(bytes);
    const std::size_t whole = hugeBackedSize(bytes);
    if (whole < bytes) throw std::bad_alloc();
    if (kKeepRooms) {
        if (void* room = keptRooms().take(whole)) return room;
    }
    return freshRoom(whole);
}

void freeScratch(void* room, std::size_t bytes) noexcept {
    if (kKeepRooms && bytes >= kSmallestHugeRoom) {
        try {
            keptRooms().keep(room, hugeBackedSize(bytes));
            return;
        } catch (...) {  // no room to note it in: it goes back to the system
        }
    }
    freeHugeBacked(room, bytes);
}

void releaseKeptScratch() {
    if (kKeepRooms) keptRooms().release();
}

void keepScratch(bool keep) {
    if (kKeepRooms) keptRooms().setKeeping(keep);
}

void releaseFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace sorvane::core
