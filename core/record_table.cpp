#include "record_table.h"

#include <algorithm>
#include <cstring>

namespace sorvane::core {

std::string_view RecordTable::cell(std::size_t r, std::size_t c) const {
    // The cells are looked for up to where the next row starts, not where this one ends: only
    // line ends stand between the two, and a cell followed by a TAB is then found without
    // reading the end of its row, a cache line less for lookups that jump between rows.
    const char* const begin = text_.data() + startOf(r);
    const char* const limit = text_.data() + startOf(r + 1);
    std::size_t pos = 0;
    std::size_t skip = c;
    if (c >= kCheckpointStride && !wideRows_.empty()) {
        const auto it = std::lower_bound(wideRows_.begin(), wideRows_.end(), r);
        if (it != wideRows_.end() && *it == r) {
            const std::size_t first = wideFirst_[it - wideRows_.begin()];
            const std::size_t last = (it + 1 == wideRows_.end())
                                         ? checkpoints_.size()
                                         : wideFirst_[it - wideRows_.begin() + 1];
            const std::size_t k = std::min(c / kCheckpointStride, last - first);
            if (k > 0) {
                pos = checkpoints_[first + k - 1];
                skip = c - k * kCheckpointStride;
            }
        }
    }
    const char* p = begin + pos;
    for (; skip > 0; --skip) {
        const void* tab = std::memchr(p, '\t', limit - p);
        if (tab == nullptr) return {};
        p = static_cast<const char*>(tab) + 1;
    }
    if (const void* tab = std::memchr(p, '\t', limit - p)) {
        return {p, static_cast<std::size_t>(static_cast<const char*>(tab) - p)};
    }
    // The row's last cell, without the line ends after it.
    return {p, static_cast<std::size_t>(beforeLineEnds(p, limit) - p)};
}

std::size_t RecordTable::memoryBytes() const {
    return text_.memoryBytes() + start32_.capacity() * sizeof(std::uint32_t) +
           start64_.capacity() * sizeof(std::uint64_t) +
           wideRows_.capacity() * sizeof(std::uint32_t) +
           (wideFirst_.capacity() + checkpoints_.capacity()) * sizeof(std::uint64_t);
}

}  // namespace sorvane::core
