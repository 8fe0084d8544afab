#include "core/profile/ValueRangeIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace wend {

namespace {
constexpr std::size_t kBlockShift = 4;
constexpr std::size_t kBlock = std::size_t{1} << kBlockShift;
constexpr ValueRangeIndex::Range kEmpty = {std::numeric_limits<float>::infinity(),
                                           -std::numeric_limits<float>::infinity()};

void extend(ValueRangeIndex::Range& range, float value) {
    // NaN fails both comparisons and leaves the range as it is.
    if (value < range.minimum)
        range.minimum = value;
    if (value > range.maximum)
        range.maximum = value;
}

void extend(ValueRangeIndex::Range& range, const ValueRangeIndex::Range& other) {
    range.minimum = std::min(range.minimum, other.minimum);
    range.maximum = std::max(range.maximum, other.maximum);
}
} // namespace

ValueRangeIndex::ValueRangeIndex(std::span<const float> values) {
    std::size_t count = values.size();
    if (count <= kBlock)
        return;
    std::vector<Range> level((count + kBlock - 1) / kBlock, kEmpty);
    for (std::size_t i = 0; i < count; ++i)
        extend(level[i >> kBlockShift], values[i]);
    m_levels.push_back(std::move(level));
    while (m_levels.back().size() > kBlock) {
        const std::vector<Range>& below = m_levels.back();
        std::vector<Range> above((below.size() + kBlock - 1) / kBlock, kEmpty);
        for (std::size_t i = 0; i < below.size(); ++i)
            extend(above[i >> kBlockShift], below[i]);
        m_levels.push_back(std::move(above));
    }
}

ValueRangeIndex::Range ValueRangeIndex::rangeOf(std::span<const float> values, std::size_t from,
                                                std::size_t to) const {
    Range range = kEmpty;
    to = std::min(to, values.size());
    // The ragged ends at each level, then whole blocks one level up.
    std::size_t level = 0;
    while (from < to && level < m_levels.size() && to - from > 2 * kBlock) {
        const auto at = [&](std::size_t i) {
            return level == 0 ? Range{values[i], values[i]} : m_levels[level - 1][i];
        };
        for (; from < to && from % kBlock != 0; ++from)
            extend(range, at(from));
        for (; to > from && to % kBlock != 0; --to)
            extend(range, at(to - 1));
        from >>= kBlockShift;
        to >>= kBlockShift;
        ++level;
    }
    for (std::size_t i = from; i < to; ++i) {
        if (level == 0)
            extend(range, values[i]);
        else
            extend(range, m_levels[level - 1][i]);
    }
    return range;
}

} // namespace wend
