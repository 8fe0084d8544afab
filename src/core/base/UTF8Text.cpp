#include "core/base/UTF8Text.h"

#include <cstdint>

namespace wend {

namespace {
// The length of the valid UTF-8 sequence starting at p, or 0.
std::size_t validSequenceLength(const unsigned char* p, const unsigned char* end) {
    unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    std::size_t n;
    std::uint32_t code;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        code = c & 0x07;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - p) < n)
        return 0;
    for (std::size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
    if ((n == 2 && code < 0x80) || (n == 3 && code < 0x800) || (n == 4 && code < 0x10000) || code > 0x10FFFF ||
        (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return n;
}

void appendCodePoint(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// Windows-1252's characters for 0x80-0x9F (U+FFFD where the code page has none).
constexpr std::uint16_t kWindows1252[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
} // namespace

bool UTF8Text::isValid(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        std::size_t n = validSequenceLength(p, end);
        if (n == 0)
            return false;
        p += n;
    }
    return true;
}

std::string UTF8Text::repaired(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        std::size_t n = validSequenceLength(p, end);
        if (n > 0) {
            out.append(reinterpret_cast<const char*>(p), n);
            p += n;
            continue;
        }
        unsigned char c = *p++;
        appendCodePoint(out, c >= 0x80 && c < 0xA0 ? kWindows1252[c - 0x80] : c);
    }
    return out;
}

} // namespace wend
