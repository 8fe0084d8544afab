#pragma once

#include "core/model/GPSItem.h"
#include "core/processing/WorldRect.h"

#include <cstdint>

namespace wend {

// The geometric questions the map view and its tools ask of an item, in the plane of
// (longitude, latitude) degrees with no projection, and the two edits that move or reorder
// an item's points. The edits replace the item's point list through its setter (so they are
// undoable on a document's item) and never change a point object that others may share.
class TrackGeometry {
public:
    static constexpr std::uint64_t NotFound = IndexRange::NotFound;

    // The nearest point (the earlier one on a tie), or null when the item has no points.
    // `distance` receives the distance in degrees, NaN when there is no point.
    static GPSPointPtr closestPointToPoint(const GPSItem& item, double lon, double lat,
                                           double* distance = nullptr);
    static std::uint64_t indexOfClosestPointToPoint(const GPSItem& item, double lon, double lat);

    // The index i of the nearest segment (points i and i + 1; the earlier one on a tie), or
    // NotFound with fewer than two points. `distance` receives its distance in degrees.
    static std::uint64_t closestLineSegmentToPoint(const GPSItem& item, double lon, double lat,
                                                   double* distance = nullptr);

    // Whether the point (found in the item by identity) is covered by the item's selection.
    static bool pointIsSelected(const GPSItem& item, const GPSPoint* point);
    static bool pointIsSelectedAtIndex(const GPSItem& item, std::uint64_t index);

    // The smallest rectangle holding every point of the items; all NaN when there is none.
    static WorldRect boundsOfGPSItems(const ItemList& items);
    // The same for the points the items' selections cover.
    static WorldRect boundsOfSelectedPoints(const ItemList& items);

    // Moves points by (dx, dy) degrees: the moved points are replaced by moved copies,
    // wrapped into the valid longitude and latitude ranges.
    static void offsetPointsByDistance(GPSItem& item, double dx, double dy,
                                       bool selectedPointsOnly);

    // Orders the item's points by time, stable; points without a time come first. The
    // selection keeps its indexes.
    static void sortPointsByTimestamp(GPSItem& item);
};

} // namespace wend
