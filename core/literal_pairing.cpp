#include "literal_pairing.h"

#include <algorithm>

namespace sorvane::core {
namespace {

bool inSet(const RowNumbers& set, std::uint32_t x) {
    return std::find(set.begin(), set.end(), x) != set.end();
}

}  // namespace

Outcome pairRecordsLiteral(const RecordList& list1, const RecordList& list2,
                           const std::vector<ColumnPair>& columns) {
    const auto n1 = static_cast<std::uint32_t>(list1.recordCount());
    const auto n2 = static_cast<std::uint32_t>(list2.recordCount());
    Outcome out;
    for (std::uint32_t i = 0; i < n1; ++i) {
        for (std::uint32_t j = 0; j < n2; ++j) {
            if (inSet(out.matched2, j)) continue;
            bool agree = true;
            for (const ColumnPair& pair : columns) {
                agree = agree && cellsAgree(list1.cell(i, pair.column1), list2.cell(j, pair.column2));
            }
            if (agree) {
                out.matched1.push_back(i);
                out.matched2.push_back(j);
                break;
            }
        }
    }
    for (std::uint32_t i = 0; i < n1; ++i) {
        if (!inSet(out.matched1, i)) out.unmatched1.push_back(i);
    }
    for (std::uint32_t j = 0; j < n2; ++j) {
        if (!inSet(out.matched2, j)) out.unmatched2.push_back(j);
    }
    return out;
}

}  // namespace sorvane::core
