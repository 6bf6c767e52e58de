#include "clipboard_text.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "line_ends.h"
#include "memory_advice.h"
#include "parallel.h"

namespace sorvane::core {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Below this many UTF-16 units a thread of its own costs more than it spares.
constexpr std::size_t kUnitsForAThread = std::size_t{1} << 20;

// A character read from UTF-8: its code point and how many bytes it took. An invalid sequence
// reads as U+FFFD over its maximal subpart (the longest start of a well-formed sequence, at least
// one byte), as Unicode recommends and as most decoders do.
struct Decoded {
    char32_t code;
    std::size_t length;
    bool valid = true;
};

Decoded decodeAt(const unsigned char* p, const unsigned char* end) {
    const unsigned char lead = p[0];
    if (lead < 0x80) return {lead, 1};
    int trail;
    char32_t code;
    unsigned char low = 0x80;  // the range of the first trail byte, narrower after some leads
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trail = 1;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return {kReplacement, 1, false};
    }
    std::size_t length = 1;
    for (int k = 0; k < trail; ++k, ++length) {
        if (p + length >= end) return {kReplacement, length, false};
        const unsigned char byte = p[length];
        if (byte < low || byte > high) return {kReplacement, length, false};
        low = 0x80;
        high = 0xBF;
        code = (code << 6) | (byte & 0x3F);
    }
    return {code, length};
}

// Where the bytes stop being valid UTF-8: the end, or the first invalid sequence. Runs of ASCII
// are passed over 64 bytes at a time where the processor has SSE2, else eight.
const unsigned char* firstInvalid(const unsigned char* p, const unsigned char* end) {
    while (p < end) {
#if defined(__SSE2__)
        if (end - p >= 64) {
            const auto* const v = reinterpret_cast<const __m128i*>(p);
            const __m128i any = _mm_or_si128(
                _mm_or_si128(_mm_loadu_si128(v), _mm_loadu_si128(v + 1)),
                _mm_or_si128(_mm_loadu_si128(v + 2), _mm_loadu_si128(v + 3)));
            if (_mm_movemask_epi8(any) == 0) {
                p += 64;
                continue;
            }
        }
#endif
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ull) == 0) {
                p += 8;
                continue;
            }
        }
        const Decoded d = decodeAt(p, end);
        if (!d.valid) return p;
        p += d.length;
    }
    return end;
}

std::size_t encodedLength(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

// Writes the UTF-8 bytes of `c` at `out`; returns how many.
std::size_t encodeUtf8(char32_t c, char* out) {
    const std::size_t length = encodedLength(c);
    if (length == 1) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    constexpr unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (std::size_t k = length - 1; k > 0; --k, c >>= 6) {
        out[k] = static_cast<char>(0x80 | (c & 0x3F));
    }
    out[0] = static_cast<char>(kLead[length] | c);
    return length;
}

void appendUtf8(std::string& out, char32_t c) {
    char bytes[4];
    out.append(bytes, encodeUtf8(c, bytes));
}

// Calls f with each character of UTF-8 text, invalid sequences as U+FFFD.
template <typename F>
void forEachCharacter(std::string_view utf8, F&& f) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    while (p < end) {
        const Decoded d = decodeAt(p, end);
        f(d.code);
        p += d.length;
    }
}

// A text whose rows the reader ends as the platform ended them: at a lone LF too, where no LF
// stands inside a quoted cell, which leaves the text as it came; else with every such LF made a
// CR, which writes to it.
TextBuffer withRowEnds(TextBuffer text) {
    if (lineFeedsEndRowsOnly(text.view())) return std::move(text).withRowEnds(true);
    normalizeLineEnds(text.mutableData(), text.size());
    return text;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The UTF-8 bytes of each character of UTF-16 text, an unpaired surrogate as U+FFFD, written
// at `out` when it is not null; returns how many. Runs of units below 0x80, nearly all of the
// text of a million records, go four units at a time.
std::size_t writeUtf8(std::u16string_view text, char* out) {
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
    std::size_t length = 0;
    while (p < end) {
#if defined(__SSE2__)
        // Sixteen units at a time, packed to their sixteen bytes.
        if (end - p >= 16) {
            const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
            const __m128i beyond = _mm_and_si128(_mm_or_si128(a, b), high);
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(beyond, _mm_setzero_si128())) == 0xFFFF) {
                if (out != nullptr) {
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + length),
                                     _mm_packus_epi16(a, b));
                }
                p += 16;
                length += 16;
                continue;
            }
        }
#endif
        std::uint64_t units;
        if (end - p >= 4 && (std::memcpy(&units, p, sizeof units),
                             (units & 0xFF80FF80FF80FF80ull) == 0)) {
            if (out != nullptr) {
                const auto bytes = static_cast<std::uint32_t>(
                    (units & 0xFF) | ((units >> 8) & 0xFF00) | ((units >> 16) & 0xFF0000) |
                    ((units >> 24) & 0xFF000000));
                std::memcpy(out + length, &bytes, sizeof bytes);  // little-endian, as x86 and ARM
            }
            p += 4;
            length += 4;
            continue;
        }
        const char16_t unit = *p++;
        char32_t c = unit;
        if (unit >= 0xD800 && unit <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF) {
            c = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (*p++ - 0xDC00);
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            c = kReplacement;
        }
        length += out != nullptr ? encodeUtf8(c, out + length) : encodedLength(c);
    }
    return length;
}

}  // namespace

TextBuffer validUtf8(TextBuffer bytes) {
    if (bytes.view().starts_with(kByteOrderMark)) bytes.dropFront(kByteOrderMark.size());
    const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = begin + bytes.size();
    const unsigned char* const bad = firstInvalid(begin, end);
    if (bad == end) return bytes;

    std::string repaired;
    repaired.reserve(bytes.size() + bytes.size() / 8);
    repaired.append(bytes.data(), static_cast<std::size_t>(bad - begin));
    forEachCharacter(std::string_view(reinterpret_cast<const char*>(bad),
                                      static_cast<std::size_t>(end - bad)),
                     [&](char32_t c) { appendUtf8(repaired, c); });
    return repaired;
}

TextBuffer recordsTextOfUtf8(TextBuffer bytes) { return withRowEnds(validUtf8(std::move(bytes))); }

TextBuffer utf8OfUtf16(std::u16string_view text) {
    if (!text.empty() && text.front() == 0xFEFF) text.remove_prefix(1);
    // Measured first, so the text is written once into a buffer of its exact size, which at a
    // million records is tens of megabytes of fresh memory. A long text is converted in parts,
    // one on each processor, each cut where no surrogate pair is cut in two.
    const std::size_t parts = partsFor(text.size(), kUnitsForAThread);
    std::vector<std::size_t> cuts(parts + 1, text.size());
    for (std::size_t p = 0; p < parts; ++p) {
        std::size_t cut = text.size() / parts * p;
        if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) ++cut;
        cuts[p] = cut;
    }
    auto part = [&](std::size_t p) { return text.substr(cuts[p], cuts[p + 1] - cuts[p]); };
    std::vector<std::size_t> starts(parts + 1, 0);
    inParallel(parts, [&](std::size_t p) { starts[p + 1] = writeUtf8(part(p), nullptr); });
    for (std::size_t p = 0; p < parts; ++p) starts[p + 1] += starts[p];
    // Room that is written first touches each of its pages once, in the part that writes it.
    std::unique_ptr<char[]> out(new char[starts.back()]);
    preferHugePages(out.get(), starts.back());
    inParallel(parts, [&](std::size_t p) { writeUtf8(part(p), out.get() + starts[p]); });
    return TextBuffer::owned(std::move(out), starts.back());
}

TextBuffer recordsTextOfUtf16(std::u16string_view text) { return withRowEnds(utf8OfUtf16(text)); }

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    forEachCharacter(utf8, [&](char32_t c) { units += c >= 0x10000 ? 2 : 1; });
    return units;
}

std::size_t writeUtf16(std::string_view utf8, char16_t* out) {
    char16_t* const start = out;
    forEachCharacter(utf8, [&](char32_t c) {
        if (c >= 0x10000) {
            *out++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(c);
        }
    });
    return static_cast<std::size_t>(out - start);
}

std::u16string utf16Of(std::string_view utf8) {
    std::u16string out(utf16Length(utf8), u'\0');
    writeUtf16(utf8, out.data());
    return out;
}

}  // namespace sorvane::core
