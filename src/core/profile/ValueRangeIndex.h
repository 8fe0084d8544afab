#pragma once

#include <cstddef>
#include <span>
#include <utility>
#include <vector>

namespace wend {

// The smallest and largest value of any stretch of a series in a few hundred steps, however
// long the stretch: levels of blocks of 16, 256, 4096, ... values keep each block's extremes.
// Missing values (NaN) are skipped.
class ValueRangeIndex {
public:
    struct Range {
        float minimum;
        float maximum;
        bool empty() const { return !(minimum <= maximum); }
    };

    ValueRangeIndex() = default;
    explicit ValueRangeIndex(std::span<const float> values);

    // The extremes of the values at [from, to) of the series the index was built from (which
    // the caller passes again); an empty range when all are missing.
    Range rangeOf(std::span<const float> values, std::size_t from, std::size_t to) const;

private:
    std::vector<std::vector<Range>> m_levels;
};

} // namespace wend
