#include "clipboard.h"

#include "memory_advice.h"

namespace sorvane::core {

char* Clipboard::textRoom(std::size_t bytes) {
    if (roomSize_ < bytes) {
        room_.reset();
        room_ = std::make_unique_for_overwrite<char[]>(bytes);
        roomSize_ = bytes;
        preferHugePages(room_.get(), bytes);
    }
    return room_.get();
}

}  // namespace sorvane::core
