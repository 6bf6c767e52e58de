#pragma once

#include <cstddef>

namespace sorvane::core {

/// Asks the system to back a large, not yet touched buffer with huge pages. A million records
/// make buffers of tens of megabytes whose first touch would otherwise fault in one small page
/// at a time, and whose random access would miss the address cache on nearly every record.
/// Does nothing for small buffers or where the system offers no such advice.
void preferHugePages(const void* data, std::size_t bytes);

/// Has the process keep the memory it frees for its next allocations, instead of handing large
/// buffers back to the system. A command at a million records frees tens of megabytes that the
/// next one needs again; fresh pages from the system are zeroed on first touch, which costs as
/// much as the work itself. Freed memory stays with the process, up to a gigabyte.
void keepFreedMemory();

}  // namespace sorvane::core
