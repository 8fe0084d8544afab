#include "core/profile/ProfileDecimator.h"

#include <algorithm>
#include <cmath>

namespace wend {

std::vector<ProfileColumn> ProfileDecimator::decimate(std::span<const double> positions,
                                                      std::span<const float> values, double start,
                                                      double columnWidth, int columnCount) {
    std::vector<ProfileColumn> columns;
    const std::size_t count = std::min(positions.size(), values.size());
    if (count == 0 || columnCount <= 0 || !(columnWidth > 0))
        return columns;
    const double end = start + columnWidth * columnCount;
    // The points on the chart, and one more on each side.
    std::size_t from = static_cast<std::size_t>(
        std::lower_bound(positions.begin(), positions.begin() + count, start) - positions.begin());
    std::size_t to = static_cast<std::size_t>(
        std::lower_bound(positions.begin() + from, positions.begin() + count, end) -
        positions.begin());
    if (from > 0)
        --from;
    if (to < count)
        ++to;

    bool gap = true; // nothing drawn yet, or a missing value since the last drawn one
    for (std::size_t i = from; i < to; ++i) {
        const float value = values[i];
        if (std::isnan(value)) {
            gap = true;
            continue;
        }
        const double place = std::floor((positions[i] - start) / columnWidth);
        const int column = place < 0 ? -1 : place >= columnCount ? columnCount : static_cast<int>(place);
        if (!columns.empty() && columns.back().column == column) {
            ProfileColumn& current = columns.back();
            current.minimum = std::min(current.minimum, value);
            current.maximum = std::max(current.maximum, value);
            current.last = value;
        } else {
            columns.push_back({column, positions[i], value, value, value, value, !gap});
        }
        gap = false;
    }
    return columns;
}

} // namespace wend
