#include "record_writer.h"

#include <cstring>

namespace sorvane::core {

std::string_view trimSpaces(std::string_view cell) {
    const std::size_t first = cell.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return cell.substr(first, cell.find_last_not_of(' ') - first + 1);
}

std::string writeRecords(const RecordList& list) {
    const std::size_t n = list.recordCount();
    const std::size_t columns = list.columnCount();
    const RecordTable& table = *list.table();

    // A row never grows: trimming only shortens cells, and each row needs at most `columns`
    // TABs and CRs beyond its own text.
    std::size_t bound = 0;
    for (std::size_t i = 0; i < n; ++i) bound += table.row(list.tableRow(i)).size() + columns;
    std::string out(bound, '\0');

    char* dst = out.data();
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view row = table.row(list.tableRow(i));
        const char* p = row.data();
        const char* const end = p + row.size();
        for (std::size_t c = 0; c < columns; ++c) {
            if (c > 0) *dst++ = '\t';
            if (p == nullptr) continue;  // the record has no more cells
            const void* tab = std::memchr(p, '\t', end - p);
            const char* cellEnd = tab ? static_cast<const char*>(tab) : end;
            const std::string_view cell = trimSpaces({p, static_cast<std::size_t>(cellEnd - p)});
            if (!cell.empty()) std::memcpy(dst, cell.data(), cell.size());
            dst += cell.size();
            p = tab ? cellEnd + 1 : nullptr;
        }
        *dst++ = '\r';
    }
    out.resize(dst - out.data());
    return out;
}

}  // namespace sorvane::core
