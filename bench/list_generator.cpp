#include "list_generator.h"

namespace sorvane::bench {
namespace {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t below(std::uint64_t n) {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return (z ^ (z >> 31)) % n;
    }

private:
    std::uint64_t state_;
};

const char* const kWords[] = {"alpha", "Bravo", "charlie", "Delta", "echo",  "Fox",
                              "golf",  "Hotel", "india",   "Juliet", "kilo", "Lima"};

}  // namespace

std::string generateList(std::uint64_t records, std::uint64_t keyBase, std::uint64_t seed) {
    Random rng(seed);
    std::string out;
    out.reserve(records * 74);
    for (std::uint64_t i = 0; i < records; ++i) {
        const std::uint64_t key = keyBase + rng.below(records * 6 / 10 + 1);
        const std::uint64_t pad = rng.below(40);
        if (pad == 0) out += ' ';
        out += 'K';
        out += std::to_string(key);
        if (pad == 1) out += "  ";
        for (int c = 1; c < 10; ++c) {
            out += '\t';
            switch (c % 3) {
                case 0:
                    out += kWords[rng.below(12)];
                    break;
                case 1:
                    out += std::to_string(rng.below(100000000));
                    break;
                default:
                    out += std::to_string(rng.below(1000));
                    out += '.';
                    out += std::to_string(10 + rng.below(90));
                    break;
            }
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace sorvane::bench
