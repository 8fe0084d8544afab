#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wend {

// A stretch of point indexes. A range with location L and length N covers the indexes L to
// L + N inclusive: N counts segments, so length 0 is a single point.
struct IndexRange {
    // The "no range" location: the largest signed 64-bit value.
    static constexpr std::uint64_t NotFound = 0x7fffffffffffffffULL;

    std::uint64_t location = 0;
    std::uint64_t length = 0;

    // The last covered index (saturates instead of wrapping).
    std::uint64_t end() const {
        return length > UINT64_MAX - location ? UINT64_MAX : location + length;
    }
    bool isNotFound() const { return location == NotFound; }

    bool operator==(const IndexRange&) const = default;
};

// "{L, N}", the form used in archives.
std::string stringFromRange(IndexRange range);
// Reads the first two unsigned integers of the text; missing ones read as 0.
IndexRange rangeFromString(std::string_view text);

} // namespace wend
