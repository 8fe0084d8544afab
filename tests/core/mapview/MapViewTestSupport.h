#pragma once

#include "core/mapview/MapViewGeometry.h"
#include "core/model/GPSItem.h"

#include <utility>
#include <vector>

namespace wend::testing {

inline GPSItemPtr makeItem(const std::vector<std::pair<double, double>>& lonLats,
                           GPSItemType type = GPSItemType::Track, const char* name = "Track") {
    PointList points;
    for (const auto& [lon, lat] : lonLats)
        points.push_back(GPSPoint::pointWithLongitude(lon, lat, GPSPoint::NaN, std::nullopt));
    auto item = GPSItem::item();
    item->setItemName(name);
    item->setItemType(type);
    item->setItemPoints(std::move(points));
    item->setItemColor(ItemColor{0.5, 1, 0.8, 1});
    return item;
}

inline GPSItemPtr makeWaypoint(double lon, double lat, const char* name = "Waypoint") {
    return makeItem({{lon, lat}}, GPSItemType::Waypoint, name);
}

inline void select(GPSItem& item, const std::vector<IndexRange>& ranges) {
    item.setItemSelection(
        Selection::selectionWithValidSelectionRange(item.pointIndexRange(), ranges));
}

// Longitude on the equator of a point `pixels` view points east of longitude 0 (at zoom z,
// one degree spans about W / 360 points).
inline double lonForPixels(double pixels, int zoom) {
    return pixels * 360.0 / static_cast<double>(MapViewGeometry::worldSizeForZoom(zoom));
}

// A geometry of the given size, zoom and centre, without anyone listening.
inline void setUp(MapViewGeometry& geometry, double width, double height, int zoom,
                  WorldPoint center = {}) {
    geometry.setViewSize(width, height);
    geometry.setZoomLevel(zoom);
    geometry.setCenter(center);
}

} // namespace wend::testing
