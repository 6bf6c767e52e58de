#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sorvane::core {

/// n in digits grouped by threes from the right with `grouping` between the groups ("1,234").
std::string groupedDigits(std::uint64_t n, std::string_view grouping);

/// The count label's text: n in digits grouped by threes from the right with `grouping` between
/// the groups, then " records." ("1,234 records.", "0 records.", "1 records.").
std::string countText(std::uint64_t n, std::string_view grouping);

}  // namespace sorvane::core
