#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "record_list.h"

namespace sorvane::core {

/// Appends the text by which `cell` is ordered: letters without case or (for the accented Latin
/// letters) accents, so apple, Banana, cherry and Émile, Eva, Zoe read in that order. Digits
/// stay text: "10" comes before "9".
void appendOrderKey(std::string& out, std::string_view cell);

/// The table rows of `list` ordered by `column` ascending; records with equal keys keep their
/// relative order.
RowNumbers orderedRows(const RecordList& list, std::size_t column);

}  // namespace sorvane::core
