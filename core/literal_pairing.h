#pragma once

#include <vector>

#include "comparison.h"

namespace sorvane::core {

/// Pairs the records the straightforward way: for each record of List 1, every record of List 2
/// in order, skipping those found in the matched set by a search from its first entry, until one
/// agrees on every column pair. Work grows with n1 x n2 x pairs; kept as the reference that the
/// fast engine is checked against, and for measuring the difference.
Outcome pairRecordsLiteral(const RecordList& list1, const RecordList& list2,
                           const std::vector<ColumnPair>& columns);

}  // namespace sorvane::core
