#include "clipboard.h"

#include "memory_advice.h"

namespace sorvane::core {

char* Clipboard::textRoom(std::size_t bytes) {
    if (room_.size() < bytes) {
        room_ = HugeVector<char>();  // the old room goes before the new one is taken
        room_.resize(bytes);
    }
    return room_.data();
}

}  // namespace sorvane::core
