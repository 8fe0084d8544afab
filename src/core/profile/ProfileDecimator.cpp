#include "core/profile/ProfileDecimator.h"

#include <algorithm>
#include <cmath>

namespace wend {

std::vector<ProfileColumn> ProfileDecimator::decimate(std::span<const double> positions,
                                                      std::span<const float> values,
                                                      const ValueRangeIndex& index, double start,
                                                      double columnWidth, int columnCount) {
    std::vector<ProfileColumn> columns;
    const std::size_t count = std::min(positions.size(), values.size());
    if (count == 0 || columnCount <= 0 || !(columnWidth > 0))
        return columns;
    const auto firstAtOrAfter = [&](std::size_t from, double place) {
        return static_cast<std::size_t>(
            std::lower_bound(positions.begin() + static_cast<std::ptrdiff_t>(from),
                             positions.begin() + static_cast<std::ptrdiff_t>(count), place) -
            positions.begin());
    };

    // Whether a missing value lies between the last column added and the next.
    bool gap = true;
    const auto addPoint = [&](int column, std::size_t i) {
        if (std::isnan(values[i])) {
            gap = true;
            return;
        }
        columns.push_back({column, positions[i], values[i], values[i], values[i], values[i], !gap});
        gap = false;
    };

    std::size_t from = firstAtOrAfter(0, start);
    if (from > 0)
        addPoint(-1, from - 1);
    for (int column = 0; column < columnCount && from < count; ++column) {
        const std::size_t to = firstAtOrAfter(from, start + (column + 1) * columnWidth);
        if (to == from)
            continue;
        std::size_t first = from;
        while (first < to && std::isnan(values[first]))
            ++first;
        if (first == to) {
            gap = true;
            from = to;
            continue;
        }
        std::size_t last = to - 1;
        while (std::isnan(values[last]))
            --last;
        const ValueRangeIndex::Range range = index.rangeOf(values, first, last + 1);
        columns.push_back({column, positions[first], range.minimum, range.maximum, values[first],
                           values[last], !gap && first == from});
        gap = last != to - 1;
        from = to;
    }
    if (from < count)
        addPoint(columnCount, from);
    return columns;
}

} // namespace wend
