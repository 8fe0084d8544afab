#include "core/mapview/PointIndexCache.h"

#include "core/mapview/MapViewGeometry.h"
#include "core/processing/TrackGeometry.h"

namespace wend {

const ItemPointIndex& PointIndexCache::indexFor(const GPSItem& item) {
    const PointList& points = item.itemPoints();
    Entry& entry = m_entries[&item];
    const bool current = entry.index && entry.size == points.size() && entry.data == points.data() &&
                         (points.empty() || (entry.front == points.front().get() &&
                                             entry.back == points.back().get()));
    if (!current) {
        entry.index = std::make_unique<ItemPointIndex>(points);
        entry.size = points.size();
        entry.data = points.data();
        entry.front = points.empty() ? nullptr : points.front().get();
        entry.back = points.empty() ? nullptr : points.back().get();
    }
    return *entry.index;
}

GPSItemPtr PointIndexCache::closestItemToPoint(const ItemList& items, WorldPoint point,
                                               bool includeWaypoints) {
    return MapViewGeometry::closestItemToPoint(
        items, includeWaypoints, [&](const GPSItem& item, double* distance) {
            if (item.itemPoints().size() < kMinIndexedPoints)
                return MapViewGeometry::distanceToItem(item, point, distance);
            return indexFor(item).closestLineSegment(point.lon, point.lat, distance) !=
                   ItemPointIndex::NotFound;
        });
}

std::uint64_t PointIndexCache::indexOfClosestPoint(const GPSItem& item, WorldPoint point) {
    if (item.itemPoints().size() < kMinIndexedPoints)
        return TrackGeometry::indexOfClosestPointToPoint(item, point.lon, point.lat);
    return indexFor(item).closestPoint(point.lon, point.lat);
}

std::uint64_t PointIndexCache::closestLineSegment(const GPSItem& item, WorldPoint point,
                                                  double* distance) {
    if (item.itemPoints().size() < kMinIndexedPoints)
        return TrackGeometry::closestLineSegmentToPoint(item, point.lon, point.lat, distance);
    return indexFor(item).closestLineSegment(point.lon, point.lat, distance);
}

std::vector<IndexRange> PointIndexCache::runsInside(const GPSItem& item, const WorldRect& rect) {
    if (item.itemPoints().size() < kMinIndexedPoints)
        return ItemPointIndex(item.itemPoints()).runsInside(rect);
    return indexFor(item).runsInside(rect);
}

} // namespace wend
