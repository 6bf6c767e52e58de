#include "record_find.h"

#include <algorithm>
#include <string>

#include "clipboard_text.h"
#include "text_order.h"

namespace sorvane::core {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The first `count` characters of UTF-8 text (fewer where it is shorter).
std::string_view firstCharacters(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    while (end < text.size() && count > 0) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
        --count;
    }
    return text.substr(0, end);
}

// What one search looks for, folded once.
class Needle {
public:
    explicit Needle(std::string_view typed)
        : typed_(typed), ascii_(isAscii(typed)), folded_(foldCase(utf16Of(typed))) {}

    bool empty() const { return folded_.empty(); }

    bool startsCell(std::string_view cell) const {
        // Most cells are ASCII, where case is one bit of a letter; the platform folds the rest.
        if (ascii_ && cell.size() >= typed_.size() && isAscii(cell.substr(0, typed_.size()))) {
            return std::equal(typed_.begin(), typed_.end(), cell.begin(),
                              [](char a, char b) { return asciiLower(a) == asciiLower(b); });
        }
        // A character folds to one character, of at least one unit, so as many characters of
        // the cell as the folded text has units are enough to tell.
        const std::u16string cellFolded = foldCase(utf16Of(firstCharacters(cell, folded_.size())));
        return std::u16string_view(cellFolded).starts_with(folded_);
    }

private:
    std::string_view typed_;
    bool ascii_;
    std::u16string folded_;
};

// Whether the text is one character, typed once or more.
bool oneCharacterRepeated(std::string_view typed) {
    const std::string_view first = firstCharacters(typed, 1);
    for (std::size_t at = 0; at < typed.size(); at += first.size()) {
        if (typed.substr(at, first.size()) != first) return false;
    }
    return true;
}

}  // namespace

std::optional<std::size_t> findTyped(const RecordList& list, std::optional<std::size_t> focused,
                                     std::string_view typed) {
    const std::size_t count = list.recordCount();
    const bool stepOn = oneCharacterRepeated(typed);
    const Needle needle(stepOn ? firstCharacters(typed, 1) : typed);
    if (count == 0 || needle.empty()) return std::nullopt;
    std::size_t start = 0;
    if (focused && *focused < count) start = stepOn ? (*focused + 1) % count : *focused;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t record = (start + k) % count;
        if (needle.startsCell(list.cell(record, 0))) return record;
    }
    return std::nullopt;
}

}  // namespace sorvane::core
