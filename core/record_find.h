#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "record_list.h"

namespace sorvane::core {

/// The record that typing `typed` into a list moves to: the first whose first cell starts with
/// the typed text, case set aside, looking from the record after `focused` (from the first
/// when no record has the focus) and wrapping round; none when no record does. A text that
/// goes on from what was typed before looks from the focused record itself, which may still
/// match; one character, or the same one typed again and again, steps on to the next record
/// that starts with it.
std::optional<std::size_t> findTyped(const RecordList& list, std::optional<std::size_t> focused,
                                     std::string_view typed);

}  // namespace sorvane::core
