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

/// An allocator for vectors that can grow to tens of megabytes, through allocateHugeBacked.
/// Elements it makes without a value are default-initialised: room made by resize() is left
/// untouched until the code that fills it writes it.
template <typename T>
class HugePageAllocator {
public:
    using value_type = T;

    HugePageAllocator() = default;
    template <typename U>
    HugePageAllocator(const HugePageAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(allocateHugeBacked(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { freeHugeBacked(p, n * sizeof(T)); }

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

}  // namespace sorvane::core
