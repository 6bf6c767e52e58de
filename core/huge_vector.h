#pragma once

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace sorvane::core {

// Vectors that can grow to tens of megabytes (row numbers and row starts of a million records),
// in room that is cheap to fill: how that room is taken is memory_advice.cpp's business.

/// Room for `bytes` bytes, not yet touched. A room of a megabyte or more starts on a huge-page
/// boundary and takes whole huge pages, all advised to be backed by huge pages: advice can only
/// cover the whole huge pages inside a buffer, and the megabyte or two of small pages at either
/// end of one that is not aligned can cost as much to fault in as all the huge pages between.
/// Throws std::bad_alloc.
void* allocateHugeBacked(std::size_t bytes);

/// Gives back a room from allocateHugeBacked(bytes), with the same `bytes`.
void freeHugeBacked(void* room, std::size_t bytes) noexcept;

/// The same for a command's scratch, which is gone when the command ends: a room of a megabyte
/// or more that was given back is kept, and the next one asked for takes a kept room where one
/// is large enough. Its bytes are then what the last user left in it. Throws std::bad_alloc.
void* allocateScratch(std::size_t bytes);

/// Gives back a room from allocateScratch(bytes), with the same `bytes`.
void freeScratch(void* room, std::size_t bytes) noexcept;

/// An allocator for vectors that can grow to tens of megabytes, through allocateHugeBacked, or
/// allocateScratch where `kScratch`. Elements it makes without a value are default-initialised:
/// room made by resize() is left untouched until the code that fills it writes it.
template <typename T, bool kScratch = false>
class HugePageAllocator {
public:
    using value_type = T;
    template <typename U>
    struct rebind {
        using other = HugePageAllocator<U, kScratch>;
    };

    HugePageAllocator() = default;
    template <typename U>
    HugePageAllocator(const HugePageAllocator<U, kScratch>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(kScratch ? allocateScratch(n * sizeof(T))
                                        : allocateHugeBacked(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept {
        if (kScratch) {
            freeScratch(p, n * sizeof(T));
        } else {
            freeHugeBacked(p, n * sizeof(T));
        }
    }

    template <typename U>
    void construct(U* p) {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    friend bool operator==(const HugePageAllocator&, const HugePageAllocator&) { return true; }
};

/// A vector through HugePageAllocator.
template <typename T>
using HugeVector = std::vector<T, HugePageAllocator<T>>;

/// A command's scratch vector, in rooms kept from one command to the next.
template <typename T>
using ScratchVector = std::vector<T, HugePageAllocator<T, true>>;

}  // namespace sorvane::core
