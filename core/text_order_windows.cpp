// The half of TextOrder that makes keys, with the system's own collation: the order on Windows.

#include "text_order.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace sorvane::core {

struct TextOrder::Rules {
    std::wstring locale;  // as Windows names it; empty for the invariant locale
};

namespace {

// Keys that tell letters and accents apart but not case, in which punctuation counts as the
// symbol it is: the system's word sort would pass over a hyphen, so "-5" would sort among the
// fives and no column of numbers or dates would order as its bytes. Digits stay text: no
// SORT_DIGITSASNUMBERS.
constexpr DWORD kKeyFlags = LCMAP_SORTKEY | LINGUISTIC_IGNORECASE | SORT_STRINGSORT;

// The first bytes of a longer cell order it: enough to tell any two real cells apart, and few
// enough that their key fits the int the system counts bytes in.
constexpr std::size_t kMaxCellBytes = std::size_t{1} << 28;

// UTF-16 units a cell of up to this many bytes takes are converted on the stack.
constexpr std::size_t kStackUnits = 256;

// The canonical name of a locale Windows knows, or empty.
std::wstring knownLocale(const std::wstring& name) {
    if (name.empty() || !IsValidLocaleName(name.c_str())) return {};
    wchar_t canonical[LOCALE_NAME_MAX_LENGTH];
    if (GetLocaleInfoEx(name.c_str(), LOCALE_SNAME, canonical, LOCALE_NAME_MAX_LENGTH) == 0) {
        return name;
    }
    return canonical;
}

// The Windows locale of a name as Windows gives it ("sv-SE", "de-DE_phoneb") or as POSIX does
// ("sv_SE.UTF-8@euro" is "sv-SE"); the user's own locale for the C locale, an empty name or one
// that Windows does not know, as the order every other program shows them.
std::wstring windowsLocaleOf(std::string_view name) {
    name = name.substr(0, name.find_first_of(".@"));
    const bool ascii =
        std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c <= '~'; });
    if (ascii && name != "C" && name != "POSIX") {
        std::wstring wide(name.begin(), name.end());
        std::wstring known = knownLocale(wide);
        if (known.empty()) {
            std::replace(wide.begin(), wide.end(), L'_', L'-');
            known = knownLocale(wide);
        }
        if (!known.empty()) return known;
    }
    wchar_t user[LOCALE_NAME_MAX_LENGTH];
    if (GetUserDefaultLocaleName(user, LOCALE_NAME_MAX_LENGTH) == 0) return {};
    return knownLocale(user);
}

}  // namespace

TextOrder::TextOrder(std::string_view locale)
    : rules_(new Rules{windowsLocaleOf(locale)}), plainAsBytes_(checkPlainCells()) {}

TextOrder::~TextOrder() = default;

TextOrder::TextOrder(std::unique_ptr<Rules> rules, bool plainAsBytes)
    : rules_(std::move(rules)), plainAsBytes_(plainAsBytes) {}

void TextOrder::appendKey(std::string& out, std::string_view cell) const {
    // The system makes no key of empty text; the empty key comes before every other, as an
    // empty cell does.
    if (cell.empty()) return;
    if (cell.size() > kMaxCellBytes) {
        std::size_t end = kMaxCellBytes;
        while (end > 0 && (static_cast<unsigned char>(cell[end]) & 0xC0) == 0x80) --end;
        cell = cell.substr(0, end);
    }
    // Without flags, the conversion puts U+FFFD for what is not valid UTF-8 rather than drop it
    // (as it has since Windows Vista), so every byte counts; it never makes more UTF-16 units
    // than there are bytes.
    wchar_t onStack[kStackUnits];
    std::vector<wchar_t> onHeap(cell.size() > kStackUnits ? cell.size() : 0);
    wchar_t* const text = onHeap.empty() ? onStack : onHeap.data();
    // Most cells are ASCII, which a unit a byte converts without a call to the system.
    int units = 0;
    if (std::all_of(cell.begin(), cell.end(), [](char c) { return c >= 0; })) {
        std::copy(cell.begin(), cell.end(), text);
        units = static_cast<int>(cell.size());
    } else {
        units = MultiByteToWideChar(CP_UTF8, 0, cell.data(), static_cast<int>(cell.size()), text,
                                    static_cast<int>(cell.size()));
    }
    if (units <= 0) return;
    // A key takes a few bytes a character, and room for that is tried first; a key that needs
    // more asks its size. The key is written as bytes, whatever the type of its pointer says.
    const wchar_t* const locale = rules_->locale.c_str();
    const std::size_t at = out.size();
    int room = 4 * units + 32;
    out.resize(at + static_cast<std::size_t>(room));
    int written = LCMapStringEx(locale, kKeyFlags, text, units, reinterpret_cast<LPWSTR>(&out[at]),
                                room, nullptr, nullptr, 0);
    if (written == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        room = LCMapStringEx(locale, kKeyFlags, text, units, nullptr, 0, nullptr, nullptr, 0);
        out.resize(at + static_cast<std::size_t>(std::max(room, 0)));
        written = room <= 0 ? 0
                            : LCMapStringEx(locale, kKeyFlags, text, units,
                                            reinterpret_cast<LPWSTR>(&out[at]), room, nullptr,
                                            nullptr, 0);
    }
    // The key ends in a 0 byte, which is no weight; without it keys compare as before, and as
    // ICU's, which have none.
    out.resize(written > 0 ? at + static_cast<std::size_t>(written) - 1 : at);
}

std::unique_ptr<const TextOrder> TextOrder::forAnotherThread() const {
    // The system's collation serves many threads at once; only the locale's name is copied.
    return std::unique_ptr<const TextOrder>(
        new TextOrder(std::make_unique<Rules>(*rules_), plainAsBytes_));
}

std::string TextOrder::ruleLocale() const {
    std::string name;  // locale names are ASCII
    for (const wchar_t c : rules_->locale) name += static_cast<char>(c);
    return name;
}

std::u16string foldCase(std::u16string_view text) {
    // The system's own lower case, the same in every locale, as its list views find typed text.
    if (text.empty()) return {};
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    std::u16string folded(static_cast<std::size_t>(length), u'\0');
    const int written = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, source, length,
                                      reinterpret_cast<wchar_t*>(folded.data()), length, nullptr,
                                      nullptr, 0);
    if (written <= 0) return std::u16string(text);
    folded.resize(static_cast<std::size_t>(written));
    return folded;
}

}  // namespace sorvane::core
