#pragma once

#include <cstddef>

namespace sorvane::core {

/// Asks the system to back a large, not yet touched buffer with huge pages. A million records
/// make buffers of tens of megabytes whose first touch would otherwise fault in one small page
/// at a time, and whose random access would miss the address cache on nearly every record.
/// Does nothing for small buffers or where the system offers no such advice.
void preferHugePages(const void* data, std::size_t bytes);

}  // namespace sorvane::core
