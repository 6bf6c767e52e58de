// Whatever bytes arrive on the clipboard, the line-end function may only turn lone LFs into
// CRs, and a second pass must read the same as the first; what Copy records writes must read
// back as the same records: as many, with as many columns, each cell the same less its outer
// spaces, and the written text must be a fixed point of reading and writing.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "line_ends.h"
#include "record_writer.h"
#include "test_lists.h"

using namespace sorvane::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string normalised = normalizeLineEnds(text);
    for (std::size_t i = 0; i < size; ++i) {
        if (normalised[i] != text[i] &&
            !(text[i] == '\n' && normalised[i] == '\r' && (i == 0 || text[i - 1] != '\r'))) {
            std::abort();
        }
    }
    const RecordList pasted = testing::listOf(normalised);
    if (testing::cellsOf(testing::listOf(normalizeLineEnds(normalised))) !=
        testing::cellsOf(pasted)) {
        std::abort();
    }
    const std::string written = writeRecords(pasted);
    if (written.find('\n') != std::string::npos) std::abort();
    if (!written.empty() && written.back() != '\r') std::abort();

    const RecordList back = testing::listOf(written);
    if (back.recordCount() != pasted.recordCount()) std::abort();
    if (back.columnCount() != pasted.columnCount()) std::abort();
    for (std::size_t r = 0; r < pasted.recordCount(); ++r) {
        for (std::size_t c = 0; c < pasted.columnCount(); ++c) {
            if (back.cell(r, c) != trimSpaces(pasted.cell(r, c))) std::abort();
        }
    }
    if (writeRecords(back) != written) std::abort();
    return 0;
}
