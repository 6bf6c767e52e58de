#pragma once

#include <cstddef>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace sorvane::core {

/// Asks the system to back a large, not yet touched buffer with huge pages. A million records
/// make buffers of tens of megabytes whose first touch would otherwise fault in one small page
/// at a time, and whose random access would miss the address cache on nearly every record.
/// Does nothing for small buffers or where the system offers no such advice.
void preferHugePages(const void* data, std::size_t bytes);

/// Moves `text` into a buffer with room for `capacity` bytes, advised as above before anything
/// is written to it. A string that grows on its own doubles into buffers faulted in 4 KB at a
/// time; on a virtual machine each such fault can cost more than writing the page.
void growWithHugePages(std::string& text, std::size_t capacity);

/// Gives back the unused end of the huge page in which the first `used` bytes of a room of
/// `room` bytes at `data` end, where that page lies wholly in the room and is mostly unused. A
/// room whose size was not known when it was taken ends part way into a huge page, which
/// otherwise holds up to 2 MB for the few bytes it has. The used bytes stay as they are.
void giveBackUnusedEnd(char* data, std::size_t used, std::size_t room);

/// The same for a text: its bytes and closing NUL in its capacity.
inline void giveBackUnusedEnd(std::string& text) {
    giveBackUnusedEnd(text.data(), text.size() + 1, text.capacity() + 1);
}

/// Room for `bytes` bytes, not yet touched. A room of a megabyte or more starts on a huge-page
/// boundary and takes whole huge pages, all advised as above: advice can only cover the whole
/// huge pages inside a buffer, and the megabyte or two of small pages at either end of one that is
/// not aligned can cost as much to fault in as all the huge pages between. Throws std::bad_alloc.
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

/// The bytes a room from allocateHugeBacked(bytes) takes.
std::size_t hugeBackedSize(std::size_t bytes);

/// The same for a vector that has its final size: its elements in the room it was given.
template <typename T>
void giveBackUnusedEnd(HugeVector<T>& v) {
    giveBackUnusedEnd(reinterpret_cast<char*>(v.data()), v.size() * sizeof(T),
                      hugeBackedSize(v.capacity() * sizeof(T)));
}

/// Gives the memory that a finished command freed back to the system. The allocator keeps freed
/// blocks of up to tens of megabytes for reuse, and a comparison or sort of a million records
/// frees that much scratch; a desktop program that then waits for its user should not hold it.
void releaseFreedMemory();

}  // namespace sorvane::core
