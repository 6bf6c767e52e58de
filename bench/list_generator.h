#pragma once

#include <cstdint>
#include <string>

namespace sorvane::bench {

/// Records as a spreadsheet copies them (TAB between cells, CR LF after each row): ten columns,
/// a key "K<number>" in column 1 drawn from keyBase onwards so that about six records in ten
/// share their key, one key in twenty padded with spaces; about 72 bytes a record.
std::string generateList(std::uint64_t records, std::uint64_t keyBase, std::uint64_t seed);

}  // namespace sorvane::bench
