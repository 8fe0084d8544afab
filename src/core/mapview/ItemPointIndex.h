#pragma once

#include "core/mapview/MapViewTypes.h"
#include "core/model/GPSItem.h"
#include "core/model/IndexRange.h"
#include "core/processing/WorldRect.h"

#include <cstdint>
#include <vector>

namespace wend {

// The nearest-point, nearest-segment and inside-a-rectangle questions of the map's tools for
// one item's points, answered without visiting every point: the positions are copied into one
// flat array and cut into chunks of consecutive points with their bounding boxes, so a query
// looks only into the chunks that can hold the answer. The answers are exactly those of
// TrackGeometry's linear scans, ties included. Build it again when the points change.
class ItemPointIndex {
public:
    static constexpr std::size_t kChunkPoints = 64;
    static constexpr std::uint64_t NotFound = IndexRange::NotFound;

    explicit ItemPointIndex(const PointList& points);

    std::size_t pointCount() const { return m_positions.size(); }
    // As TrackGeometry::indexOfClosestPointToPoint; `distance` in degrees.
    std::uint64_t closestPoint(double lon, double lat, double* distance = nullptr) const;
    // As TrackGeometry::closestLineSegmentToPoint.
    std::uint64_t closestLineSegment(double lon, double lat, double* distance = nullptr) const;
    // The maximal runs of consecutive points with lon in [left, right) and lat in
    // [bottom, top), in order.
    std::vector<IndexRange> runsInside(const WorldRect& rect) const;

private:
    struct Box {
        double minLon, minLat, maxLon, maxLat;
        // A point without position lies in the chunk: no box bounds it.
        bool unbounded;
    };

    // The squared distance from a position to a box (0 inside).
    static double squaredDistanceToBox(const Box& box, double lon, double lat);
    double segmentDistance(std::size_t i, double lon, double lat) const;
    // The nearest of `count` points or segments (chunk k bounded by boxes[k]) by the linear
    // scan's rule, looking only into chunks whose box may hold it; `best` gets its distance.
    template <typename Measure, typename BoxBound>
    std::uint64_t nearestByLinearRule(const std::vector<Box>& boxes, std::size_t count, Measure measure,
                                      BoxBound boxBound, double& best) const;
    double pointSquaredDistance(std::size_t i, double lon, double lat) const;

    std::vector<WorldPoint> m_positions;
    // Chunk k holds points [k * kChunkPoints, (k + 1) * kChunkPoints); its segment box also
    // holds the next chunk's first point.
    std::vector<Box> m_pointBoxes;
    std::vector<Box> m_segmentBoxes;
};

} // namespace wend
