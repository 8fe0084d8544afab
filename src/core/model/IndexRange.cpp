#include "core/model/IndexRange.h"

#include <cctype>

namespace wend {

std::string stringFromRange(IndexRange range) {
    return "{" + std::to_string(range.location) + ", " + std::to_string(range.length) + "}";
}

IndexRange rangeFromString(std::string_view text) {
    std::uint64_t values[2] = {0, 0};
    int found = 0;
    std::size_t i = 0;
    while (i < text.size() && found < 2) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        std::uint64_t v = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            unsigned digit = static_cast<unsigned>(text[i] - '0');
            v = v > (UINT64_MAX - digit) / 10 ? UINT64_MAX : v * 10 + digit;
            ++i;
        }
        values[found++] = v;
    }
    return IndexRange{values[0], values[1]};
}

} // namespace wend
