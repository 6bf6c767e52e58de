#include "line_ends.h"

#include <cstring>

namespace sorvane::core {

std::string normalizeLineEnds(std::string text) {
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t lone = 0;
    for (const char* p = data; (p = static_cast<const char*>(
                                    std::memchr(p, '\n', size - (p - data)))) != nullptr;
         ++p) {
        if (p == data || p[-1] != '\r') ++lone;
    }
    if (lone == 0) return text;

    std::string out;
    out.reserve(size + lone);
    char previous = '\0';
    for (const char ch : text) {
        if (ch == '\n' && previous != '\r') out.push_back('\r');
        out.push_back(ch);
        previous = ch;
    }
    return out;
}

}  // namespace sorvane::core
