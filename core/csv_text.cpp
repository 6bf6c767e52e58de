#include "csv_text.h"

#include <cstddef>
#include <cstring>

namespace sorvane::core {

TextBuffer recordsTextOfCsv(TextBuffer text, char separator) {
    const std::size_t size = text.size();
    if (size == 0) return text;
    char* const bytes = text.mutableData();
    std::size_t out = 0;
    std::size_t in = 0;
    bool rowOpen = false;  // whether a row has begun and is not yet ended
    while (in < size) {
        // One field, which starts here.
        rowOpen = true;
        if (bytes[in] == '"') {
            ++in;
            while (in < size) {
                const char c = bytes[in++];
                if (c == '"') {
                    if (in < size && bytes[in] == '"') {
                        bytes[out++] = '"';
                        ++in;
                        continue;
                    }
                    break;  // the closing quote
                }
                if (c == '\r' || c == '\n') continue;
                bytes[out++] = c == '\t' ? ' ' : c;
            }
        }
        // The field's unquoted part, or what stray text follows a closing quote, as it stands.
        while (in < size && bytes[in] != separator && bytes[in] != '\r' && bytes[in] != '\n') {
            const char c = bytes[in++];
            bytes[out++] = c == '\t' ? ' ' : c;
        }
        if (in == size) break;
        if (bytes[in] == separator) {
            bytes[out++] = '\t';
            ++in;
            continue;
        }
        // A line end: CR LF counts once.
        if (bytes[in] == '\r' && in + 1 < size && bytes[in + 1] == '\n') ++in;
        ++in;
        bytes[out++] = '\r';
        rowOpen = false;
    }
    // The reader ends a row that the text ends without a line break, except one of nothing but
    // an empty quoted field (""), which leaves no byte behind: such a row is ended here, where
    // the dropped bytes leave room.
    if (rowOpen && out < size) bytes[out++] = '\r';
    text.truncate(out);
    return text;
}

}  // namespace sorvane::core
