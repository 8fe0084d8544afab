#pragma once

#include "core/profile/ValueRangeIndex.h"

#include <span>
#include <vector>

namespace wend {

// What one pixel column of the profile shows of a series: the smallest and largest value of
// the points in it, and the values of its first and last point, which the lines to the
// neighbouring columns join.
struct ProfileColumn {
    int column = 0;
    // Where the column's first point lies on the axis: the place of the points outside the
    // chart, which are drawn where they are, not at a column.
    double position = 0;
    float minimum = 0;
    float maximum = 0;
    float first = 0;
    float last = 0;
    // False when a missing value lies between this column and the column drawn before it (or
    // nothing was drawn before it): the line breaks there instead of running through zero.
    bool joinsPrevious = false;

    bool operator==(const ProfileColumn&) const = default;
};

// Reduces a series to at most one entry per pixel column, keeping every column's extremes.
// Both drawing and decimating cost work in pixels, whatever the number of points: each column
// finds its points by binary search and their extremes through the series' ValueRangeIndex.
class ProfileDecimator {
public:
    // `positions` are the points' places along the axis (never decreasing), `values` their
    // values (NaN: missing), `index` the range index of the values. Column c covers
    // [start + c × columnWidth, start + (c + 1) × columnWidth). Columns -1 and columnCount hold
    // the nearest point outside each side, so the lines run on to the chart's edges. Columns
    // without points are left out.
    static std::vector<ProfileColumn> decimate(std::span<const double> positions,
                                               std::span<const float> values,
                                               const ValueRangeIndex& index, double start,
                                               double columnWidth, int columnCount);
};

} // namespace wend
