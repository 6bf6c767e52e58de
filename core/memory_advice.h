#pragma once

#include <cstddef>

namespace sorvane::core {

/// Asks the system to back a large, not yet touched buffer with huge pages. A million records
/// make buffers of tens of megabytes whose first touch would otherwise fault in one small page
/// at a time, and whose random access would miss the address cache on nearly every record.
/// Does nothing for small buffers or where the system offers no such advice.
void preferHugePages(const void* data, std::size_t bytes);

/// Gives the memory that a finished command freed back to the system. The allocator keeps freed
/// blocks of up to tens of megabytes for reuse, and a comparison or sort of a million records
/// frees that much scratch; a desktop program that then waits for its user should not hold it.
void releaseFreedMemory();

}  // namespace sorvane::core
