#pragma once

#include "core/model/GPSPoint.h"
#include "core/profile/ProfileQuantity.h"
#include "core/profile/TrackPointExtensionReader.h"
#include "core/profile/ValueRangeIndex.h"

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace wend {

// The profile of one track or route: for every point its distance from the first point along
// the item (the sum of distanceFromPoint over each segment), its time, the time elapsed since
// the item's first time, and the values the profile draws (elevation, the speed of the segment
// ending there, and the heart rate, cadence and air temperature of the track point extension).
// Missing values are NaN.
//
// A series is immutable. After the points of an item change, rebuilding from the previous
// series reuses what it holds for the unchanged points at both ends (compared by identity),
// so an edit of one point costs about a copy of the arrays, not the distance formula and the
// extension reading of every point. The extension values are read the first time they are
// asked for, so a profile that never shows them never pays for them. Main thread only.
class ItemProfileSeries {
public:
    using Reader = std::shared_ptr<const TrackPointExtensionReader>;

    static std::shared_ptr<const ItemProfileSeries> build(const PointList& points, Reader reader);
    // The same result as build(points), computing only what changed since `previous`.
    static std::shared_ptr<const ItemProfileSeries> rebuild(const ItemProfileSeries& previous,
                                                            const PointList& points, Reader reader);

    // Whether the series was built from exactly these point objects.
    bool holdsPoints(const PointList& points) const { return points == m_points; }
    const PointList& points() const { return m_points; }
    std::size_t pointCount() const { return m_points.size(); }

    // Metres from the first point.
    const std::vector<double>& distances() const { return m_distances; }
    // Seconds since 1970; NaN for a point without time.
    const std::vector<double>& times() const { return m_times; }
    // Seconds since the first point with a time; a point without time, or with a time before
    // that of a point before it, keeps the value before it, so the values never decrease.
    // Empty when no point has a time.
    const std::vector<double>& elapsed() const { return m_elapsed; }
    // Where each point lies along the axis: its distance or its elapsed time.
    std::span<const double> positions(ProfileAxis axis) const;
    // The length along the axis: the last position, or 0.
    double length(ProfileAxis axis) const;

    // Empty when no point has that value.
    const std::vector<float>& values(ProfileQuantity quantity) const;
    bool hasValues(ProfileQuantity quantity) const { return !values(quantity).empty(); }
    // The extremes of any stretch of the values, for drawing them a pixel at a time.
    const ValueRangeIndex& rangeIndex(ProfileQuantity quantity) const;

private:
    ItemProfileSeries() = default;
    static std::shared_ptr<const ItemProfileSeries> compute(const ItemProfileSeries* previous,
                                                            const PointList& points, Reader reader);
    void readExtensions() const;

    Reader m_reader;
    PointList m_points;
    std::vector<double> m_distances;
    std::vector<double> m_times;
    std::vector<double> m_elapsed;
    // Filled on demand: the extension values, and the range indexes.
    mutable std::array<std::vector<float>, kProfileQuantityCount> m_values;
    mutable std::array<std::size_t, kProfileQuantityCount> m_valueCounts{};
    mutable bool m_extensionsRead = false;
    mutable std::array<std::unique_ptr<ValueRangeIndex>, kProfileQuantityCount> m_rangeIndexes;
};

} // namespace wend
