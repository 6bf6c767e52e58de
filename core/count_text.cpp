#include "count_text.h"

namespace sorvane::core {

std::string groupedDigits(std::uint64_t n, std::string_view grouping) {
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out.append(grouping);
        out.push_back(digits[i]);
    }
    return out;
}

std::string countText(std::uint64_t n, std::string_view grouping) {
    return groupedDigits(n, grouping) + " records.";
}

}  // namespace sorvane::core
