#include "core/base/LenientNumber.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace wend {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

double readLenientNumber(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && isBlank(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // Only plain decimal numbers: "inf", "nan" and hexadecimal forms read as no number.
    if (p == end || !(isDigit(*p) || (*p == '.' && p + 1 < end && isDigit(p[1]))))
        return 0.0;
    double value = 0.0;
    auto result = std::from_chars(p, end, value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return negative ? -value : value;
}

} // namespace wend
