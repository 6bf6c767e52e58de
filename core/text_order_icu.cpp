// The half of TextOrder that makes keys, with ICU's C API: the collation on Linux.

#include "text_order.h"

#include <unicode/ucol.h>
#include <unicode/uiter.h>
#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

namespace sorvane::core {

struct TextOrder::Rules {
    UCollator* collator;  // null without ICU's data
    ~Rules() { ucol_close(collator); }
};

namespace {

// The ICU locale id of a POSIX locale name: "sv_SE.UTF-8" is "sv_SE", "de_DE@euro" is "de_DE".
// The C locale means no language at all, so it gets the root order; ICU itself would take it
// for en_US_POSIX, whose order is that of the character codes and separates case.
std::string icuLocaleOf(std::string_view posix) {
    const std::string_view name = posix.substr(0, posix.find_first_of(".@"));
    if (name == "C" || name == "POSIX") return "root";
    return std::string(name);
}

UCollator* openCollator(const std::string& locale) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(locale.c_str(), &status);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        status = U_ZERO_ERROR;
        collator = ucol_open("root", &status);
    }
    if (U_FAILURE(status)) {
        ucol_close(collator);
        if (status == U_MEMORY_ALLOCATION_ERROR) throw std::bad_alloc();
        return nullptr;
    }
    // Secondary strength: letters and accents count, case does not.
    ucol_setStrength(collator, UCOL_SECONDARY);
    // Text from the clipboard may come in any normalisation form; the same words must meet.
    ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    return collator;
}

}  // namespace

TextOrder::TextOrder(std::string_view locale)
    : rules_(new Rules{openCollator(icuLocaleOf(locale))}),
      plainAsBytes_(rules_->collator == nullptr || checkPlainCells()) {}

TextOrder::~TextOrder() = default;

void TextOrder::appendKey(std::string& out, std::string_view cell) const {
    UCollator* const collator = rules_->collator;
    // Without ICU's data there is no collation; the bytes themselves still give an order.
    if (collator == nullptr) {
        out.append(cell);
        return;
    }
    // The key is taken a part at a time straight from the UTF-8, so a cell of any length needs
    // no converted copy. ICU makes each part from the start of the text, so every part is as
    // large as the key so far, which keeps a long cell's key linear in its length. ICU counts
    // in 32 bits: the rest of a longer cell does not order it.
    UCharIterator it;
    uiter_setUTF8(&it, cell.data(),
                  static_cast<std::int32_t>(std::min<std::size_t>(cell.size(), INT32_MAX)));
    std::uint32_t state[2] = {0, 0};
    const std::size_t start = out.size();
    std::size_t part = 32;
    for (;;) {
        const std::size_t at = out.size();
        part = std::min<std::size_t>(std::max(part, at - start), INT32_MAX);
        out.resize(at + part);
        UErrorCode status = U_ZERO_ERROR;
        const std::int32_t written =
            ucol_nextSortKeyPart(collator, &it, state, reinterpret_cast<std::uint8_t*>(&out[at]),
                                 static_cast<std::int32_t>(part), &status);
        if (U_FAILURE(status)) {
            out.resize(at);
            if (status == U_MEMORY_ALLOCATION_ERROR) throw std::bad_alloc();
            return;
        }
        out.resize(at + static_cast<std::size_t>(written));
        if (static_cast<std::size_t>(written) < part) return;
    }
}

std::unique_ptr<const TextOrder> TextOrder::forAnotherThread() const {
    // With ICU a second thread spared about a tenth of the sort of a million distinct codes,
    // and its copy of the rules, its memory and its own part of the keys raised the window's
    // peak by 6 to 10 MB: not worth it.
    return nullptr;
}

std::string TextOrder::ruleLocale() const {
    if (rules_->collator == nullptr) return {};
    UErrorCode status = U_ZERO_ERROR;
    const char* name = ucol_getLocaleByType(rules_->collator, ULOC_ACTUAL_LOCALE, &status);
    return U_SUCCESS(status) && name != nullptr ? name : "";
}

std::u16string foldCase(std::u16string_view text) {
    // Character by character, as the system of Windows lowers case: each character folds to
    // one, so typed text finds the same records in both windows.
    std::u16string folded;
    folded.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        UChar32 c = 0;
        U16_NEXT(text.data(), at, text.size(), c);
        c = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        if (U_IS_BMP(c)) {
            folded.push_back(static_cast<char16_t>(c));
        } else {
            folded.push_back(static_cast<char16_t>(U16_LEAD(c)));
            folded.push_back(static_cast<char16_t>(U16_TRAIL(c)));
        }
    }
    return folded;
}

}  // namespace sorvane::core
