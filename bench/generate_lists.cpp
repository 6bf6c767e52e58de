// Writes the two benchmark lists: List 2's keys start a fifth of the way into List 1's range, so
// most keys meet and some do not.
//
//   sorvane-generate LIST1 LIST2 [--records N] [--seed S]

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "list_generator.h"

namespace {

bool writeFile(const char* path, const std::string& text) {
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return (std::fclose(f) == 0) && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s LIST1 LIST2 [--records N] [--seed S]\n", argv[0]);
        return 64;
    }
    std::uint64_t records = 1000000;
    std::uint64_t seed = 1;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--records") == 0) records = std::strtoull(argv[i + 1], nullptr, 10);
        if (std::strcmp(argv[i], "--seed") == 0) seed = std::strtoull(argv[i + 1], nullptr, 10);
    }
    using sorvane::bench::generateList;
    if (!writeFile(argv[1], generateList(records, 0, seed)) ||
        !writeFile(argv[2], generateList(records, records / 5, seed + 1))) {
        std::perror("sorvane-generate");
        return 1;
    }
    return 0;
}
