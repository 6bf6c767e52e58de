#pragma once

#include <cstddef>
#include <string>

#include "huge_vector.h"

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

/// The bytes a room from allocateHugeBacked(bytes) takes.
std::size_t hugeBackedSize(std::size_t bytes);

/// The same for a vector that has its final size: its elements in the room it was given.
template <typename T>
void giveBackUnusedEnd(HugeVector<T>& v) {
    giveBackUnusedEnd(reinterpret_cast<char*>(v.data()), v.size() * sizeof(T),
                      hugeBackedSize(v.capacity() * sizeof(T)));
}

/// Gives back the scratch rooms kept for the next comparison or sort, before a command that
/// takes its memory otherwise (a paste's text, a copy's) takes it.
void releaseKeptScratch();

/// Whether scratch rooms are kept from one command to the next (they are unless told not):
/// a program that runs one comparison and ends has no next command to keep them for.
void keepScratch(bool keep);

/// Gives the memory that a finished command freed back to the system. The allocator keeps freed
/// blocks of up to tens of megabytes for reuse, and a comparison or sort of a million records
/// frees that much scratch; a desktop program that then waits for its user should not hold it.
void releaseFreedMemory();

}  // namespace sorvane::core
