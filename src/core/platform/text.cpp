#include "core/platform/text.h"

#include <charconv>

#include <array>
#include <climits>
#include <cstdint>

namespace korvane::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point starting at text[pos] and advances pos. Overlong forms,
// surrogates, values above U+10FFFF and truncated sequences give U+FFFD; the bad
// sequence is consumed up to (not including) the first byte that cannot continue it,
// so a valid character right after a broken one is never swallowed.
// bad, when given, is set for a sequence that is not well-formed (a literal U+FFFD is not).
char32_t decodeUtf8(std::string_view text, std::size_t& pos, bool* bad = nullptr) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) {
        return lead;
    }
    const auto fail = [bad] {
        if (bad != nullptr) {
            *bad = true;
        }
        return kReplacement;
    };
    std::size_t extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        cp = lead & 0x1F;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        cp = lead & 0x0F;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        cp = lead & 0x07;
        min = 0x10000;
    } else {
        return fail();
    }
    for (std::size_t i = 0; i < extra; ++i) {
        if (pos >= text.size()) {
            return fail();
        }
        const auto c = static_cast<unsigned char>(text[pos]);
        if ((c & 0xC0) != 0x80) {
            return fail();
        }
        cp = (cp << 6) | (c & 0x3F);
        ++pos;
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return fail();
    }
    return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Bytes 0x80..0x9F of Windows-1252; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<std::uint8_t> windows1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<std::uint8_t>(cp);
    }
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
        if (kWindows1252High[i] == cp) {
            return static_cast<std::uint8_t>(0x80 + i);
        }
    }
    return std::nullopt;
}

std::size_t unitsOf(char32_t cp) {
    return cp >= 0x10000 ? 2 : 1;
}

// Simple case folding as ranges: every code point in [first, last] (or every other one
// when step is 2, for the upper/lower pairs of the Latin Extended and Cyrillic blocks)
// folds to itself + delta.
struct FoldRange {
    char32_t first;
    char32_t last;
    std::int32_t delta;
    std::uint8_t step;
};

constexpr std::array<FoldRange, 73> kFoldRanges{{
    // Basic Latin and Latin-1 Supplement
    {0x0041, 0x005A, 32, 1},
    {0x00B5, 0x00B5, 0x03BC - 0x00B5, 1},
    {0x00C0, 0x00D6, 32, 1},
    {0x00D8, 0x00DE, 32, 1},
    // Latin Extended-A
    {0x0100, 0x012E, 1, 2},
    {0x0132, 0x0136, 1, 2},
    {0x0139, 0x0147, 1, 2},
    {0x014A, 0x0176, 1, 2},
    {0x0178, 0x0178, 0x00FF - 0x0178, 1},
    {0x0179, 0x017D, 1, 2},
    {0x017F, 0x017F, 0x0073 - 0x017F, 1},
    // Latin Extended-B, the parts used by European languages
    {0x0181, 0x0181, 0x0253 - 0x0181, 1},
    {0x0186, 0x0186, 0x0254 - 0x0186, 1},
    {0x018F, 0x018F, 0x0259 - 0x018F, 1},
    {0x01C4, 0x01C4, 2, 1},
    {0x01C5, 0x01C5, 1, 1},
    {0x01C7, 0x01C7, 2, 1},
    {0x01C8, 0x01C8, 1, 1},
    {0x01CA, 0x01CA, 2, 1},
    {0x01CB, 0x01DB, 1, 2},
    {0x01DE, 0x01EE, 1, 2},
    {0x01F1, 0x01F1, 2, 1},
    {0x01F2, 0x01F4, 1, 2},
    {0x01F8, 0x021E, 1, 2},
    {0x0222, 0x0232, 1, 2},
    // Greek and Coptic
    {0x0345, 0x0345, 0x03B9 - 0x0345, 1},
    {0x0370, 0x0372, 1, 2},
    {0x0376, 0x0376, 1, 1},
    {0x037F, 0x037F, 0x03F3 - 0x037F, 1},
    {0x0386, 0x0386, 0x03AC - 0x0386, 1},
    {0x0388, 0x038A, 0x03AD - 0x0388, 1},
    {0x038C, 0x038C, 0x03CC - 0x038C, 1},
    {0x038E, 0x038F, 0x03CD - 0x038E, 1},
    {0x0391, 0x03A1, 32, 1},
    {0x03A3, 0x03AB, 32, 1},
    {0x03C2, 0x03C2, 1, 1},
    {0x03CF, 0x03CF, 0x03D7 - 0x03CF, 1},
    {0x03D0, 0x03D0, 0x03B2 - 0x03D0, 1},
    {0x03D1, 0x03D1, 0x03B8 - 0x03D1, 1},
    {0x03D5, 0x03D5, 0x03C6 - 0x03D5, 1},
    {0x03D6, 0x03D6, 0x03C0 - 0x03D6, 1},
    {0x03D8, 0x03EE, 1, 2},
    {0x03F0, 0x03F0, 0x03BA - 0x03F0, 1},
    {0x03F1, 0x03F1, 0x03C1 - 0x03F1, 1},
    {0x03F4, 0x03F4, 0x03B8 - 0x03F4, 1},
    {0x03F5, 0x03F5, 0x03B5 - 0x03F5, 1},
    {0x03F7, 0x03F7, 1, 1},
    {0x03F9, 0x03F9, 0x03F2 - 0x03F9, 1},
    {0x03FA, 0x03FA, 1, 1},
    {0x03FD, 0x03FF, 0x037B - 0x03FD, 1},
    // Cyrillic and Cyrillic Supplement
    {0x0400, 0x040F, 0x0450 - 0x0400, 1},
    {0x0410, 0x042F, 32, 1},
    {0x0460, 0x0480, 1, 2},
    {0x048A, 0x04BE, 1, 2},
    {0x04C0, 0x04C0, 0x04CF - 0x04C0, 1},
    {0x04C1, 0x04CD, 1, 2},
    {0x04D0, 0x052E, 1, 2},
    // Armenian
    {0x0531, 0x0556, 0x0561 - 0x0531, 1},
    // Latin Extended Additional (Vietnamese and others)
    {0x1E00, 0x1E94, 1, 2},
    {0x1E9B, 0x1E9B, 0x1E61 - 0x1E9B, 1},
    {0x1E9E, 0x1E9E, 0x00DF - 0x1E9E, 1},
    {0x1EA0, 0x1EFE, 1, 2},
    // Greek Extended, the capitals without iota subscript
    {0x1F08, 0x1F0F, -8, 1},
    {0x1F18, 0x1F1D, -8, 1},
    {0x1F28, 0x1F2F, -8, 1},
    {0x1F38, 0x1F3F, -8, 1},
    {0x1F48, 0x1F4D, -8, 1},
    {0x1F59, 0x1F5F, -8, 2},
    {0x1F68, 0x1F6F, -8, 1},
    // Letterlike symbols that are letters in disguise
    {0x2126, 0x2126, 0x03C9 - 0x2126, 1},
    {0x212A, 0x212A, 0x006B - 0x212A, 1},
    {0x212B, 0x212B, 0x00E5 - 0x212B, 1},
    // Fullwidth Latin
    {0xFF21, 0xFF3A, 32, 1},
}};

constexpr bool rangesAreSorted() {
    for (std::size_t i = 1; i < kFoldRanges.size(); ++i) {
        if (kFoldRanges[i].first <= kFoldRanges[i - 1].last) {
            return false;
        }
    }
    return true;
}
static_assert(rangesAreSorted(), "fold ranges must be sorted and disjoint for the search");

char32_t foldCodePoint(char32_t cp) {
    if (cp < 0x41) {
        return cp;
    }
    std::size_t lo = 0;
    std::size_t hi = kFoldRanges.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        const FoldRange& r = kFoldRanges[mid];
        if (cp < r.first) {
            hi = mid;
        } else if (cp > r.last) {
            lo = mid + 1;
        } else {
            if (r.step == 2 && ((cp - r.first) % 2) != 0) {
                return cp;
            }
            return static_cast<char32_t>(static_cast<std::int32_t>(cp) + r.delta);
        }
    }
    return cp;
}

bool isCWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = decodeUtf8(text, pos);
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

bool isValidUtf8(std::string_view bytes) {
    bool bad = false;
    std::size_t pos = 0;
    while (pos < bytes.size() && !bad) {
        decodeUtf8(bytes, pos, &bad);
    }
    return !bad;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : char32_t{b});
    }
    return out;
}

std::optional<std::string> utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto byte = windows1252Byte(decodeUtf8(utf8, pos));
        if (!byte) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(*byte));
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else {
                cp = kReplacement;
            }
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        units += unitsOf(decodeUtf8(utf8, pos));
    }
    return units;
}

std::string truncateUtf16(std::string_view utf8, std::size_t maxUnits) {
    std::size_t units = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t next = pos;
        const std::size_t n = unitsOf(decodeUtf8(utf8, next));
        if (units + n > maxUnits) {
            break;
        }
        units += n;
        pos = next;
    }
    return std::string(utf8.substr(0, pos));
}

std::string foldCase(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        appendUtf8(out, foldCodePoint(decodeUtf8(utf8, pos)));
    }
    return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    std::size_t pa = 0;
    std::size_t pb = 0;
    while (pa < a.size() && pb < b.size()) {
        if (foldCodePoint(decodeUtf8(a, pa)) != foldCodePoint(decodeUtf8(b, pb))) {
            return false;
        }
    }
    return pa == a.size() && pb == b.size();
}

std::optional<std::int64_t> parseWholeNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
        if (text.front() == '-' || text.front() == '+') {
            return std::nullopt;
        }
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

long parseLong(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isCWhiteSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate towards the sign so LONG_MIN is reachable without overflow.
    long value = 0;
    bool clamped = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (clamped) {
            continue;
        }
        const int digit = text[i] - '0';
        if (negative) {
            if (value < (LONG_MIN + digit) / 10) {
                value = LONG_MIN;
                clamped = true;
            } else {
                value = value * 10 - digit;
            }
        } else {
            if (value > (LONG_MAX - digit) / 10) {
                value = LONG_MAX;
                clamped = true;
            } else {
                value = value * 10 + digit;
            }
        }
    }
    return value;
}

std::string formatInt(long value) {
    return std::to_string(value);
}

}  // namespace korvane::platform
