#pragma once

#include <cstddef>
#include <string>

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

/// Gives the memory that a finished command freed back to the system. The allocator keeps freed
/// blocks of up to tens of megabytes for reuse, and a comparison or sort of a million records
/// frees that much scratch; a desktop program that then waits for its user should not hold it.
void releaseFreedMemory();

}  // namespace sorvane::core
