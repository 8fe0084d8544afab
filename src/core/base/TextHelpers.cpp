#include "core/base/TextHelpers.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace wend {

std::string stringWithTimeInterval(double seconds) {
    // 2^64 as a double: the first magnitude that no longer fits the whole-second count.
    constexpr double kLimit = 18446744073709551616.0;
    const double magnitude = std::fabs(seconds);
    if (!(magnitude < kLimit))
        return "Unknown";

    // Whole seconds first: integer arithmetic avoids "3725.9 - 3600" landing on 125.899…
    // style remainders, and truncating the total equals truncating each part.
    const auto total = static_cast<std::uint64_t>(magnitude);
    const std::uint64_t hours = total / 3600;
    const std::uint64_t minutes = total % 3600 / 60;
    const std::uint64_t rest = total % 60;

    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s%lluh %llum %llus",
                  (seconds < 0 && total != 0) ? "-" : "", static_cast<unsigned long long>(hours),
                  static_cast<unsigned long long>(minutes), static_cast<unsigned long long>(rest));
    return buffer;
}

std::string stringWithFileSize(std::uint64_t bytes) {
    struct Unit {
        int shift;
        const char* name;
    };
    static constexpr Unit kUnits[] = {{50, "PB"}, {40, "TB"}, {30, "GB"},
                                      {20, "MB"}, {10, "KB"}, {0, "B"}};
    const Unit* unit = &kUnits[5];
    for (const Unit& candidate : kUnits) {
        if (bytes >= (std::uint64_t{1} << candidate.shift)) {
            unit = &candidate;
            break;
        }
    }
    const double value = std::ldexp(static_cast<double>(bytes), -unit->shift);

    // to_chars ignores the C locale, which the GUI toolkit sets from the environment.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    std::string text(buffer, result.ptr);
    text += ' ';
    text += unit->name;
    return text;
}

std::string stringBySeparatingCapitalizedWords(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i > 0 && c >= 'A' && c <= 'Z')
            result += ' ';
        result += c;
    }
    return result;
}

} // namespace wend
