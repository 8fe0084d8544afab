#include "core/processing/TrackGeometry.h"

#include <algorithm>
#include <cmath>

namespace wend {

namespace {
constexpr double kNaN = GPSPoint::NaN;

// The index of the point the closest-point rule picks, NotFound when there is none.
std::uint64_t closestIndex(const GPSItem& item, double lon, double lat, double* distance) {
    const PointList& points = item.itemPoints();
    double best = kNaN;
    std::uint64_t bestIndex = TrackGeometry::NotFound;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double dx = lon - points[i]->longitude();
        const double dy = lat - points[i]->latitude();
        const double d2 = dx * dx + dy * dy;
        if (std::isnan(best) || best > d2) {
            best = d2;
            bestIndex = i;
        }
    }
    if (distance)
        *distance = std::sqrt(best);
    return bestIndex;
}
} // namespace

GPSPointPtr TrackGeometry::closestPointToPoint(const GPSItem& item, double lon, double lat,
                                               double* distance) {
    const std::uint64_t index = closestIndex(item, lon, lat, distance);
    return index == NotFound ? nullptr : item.itemPoints()[index];
}

std::uint64_t TrackGeometry::indexOfClosestPointToPoint(const GPSItem& item, double lon,
                                                        double lat) {
    return closestIndex(item, lon, lat, nullptr);
}

std::uint64_t TrackGeometry::closestLineSegmentToPoint(const GPSItem& item, double lon, double lat,
                                                       double* distance) {
    const PointList& points = item.itemPoints();
    if (points.size() < 2) {
        if (distance)
            *distance = kNaN;
        return NotFound;
    }
    double best = kNaN;
    std::uint64_t bestIndex = NotFound;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const double ax = points[i]->longitude(), ay = points[i]->latitude();
        const double bx = points[i + 1]->longitude(), by = points[i + 1]->latitude();
        const double abx = bx - ax, aby = by - ay;
        double d;
        if (abx * (lon - bx) + aby * (lat - by) > 0) {
            d = std::hypot(lon - bx, lat - by);
        } else if (-abx * (lon - ax) - aby * (lat - ay) > 0) {
            d = std::hypot(lon - ax, lat - ay);
        } else if (abx == 0 && aby == 0) {
            // Two points on one spot: the distance to the line would be 0/0.
            d = std::hypot(lon - ax, lat - ay);
        } else {
            d = std::fabs((ay - lat) * abx - (ax - lon) * aby) / std::sqrt(abx * abx + aby * aby);
        }
        if (std::isnan(best) || best > d) {
            best = d;
            bestIndex = i;
        }
    }
    if (distance)
        *distance = best;
    return bestIndex;
}

bool TrackGeometry::pointIsSelected(const GPSItem& item, const GPSPoint* point) {
    const PointList& points = item.itemPoints();
    auto at = std::find_if(points.begin(), points.end(),
                           [point](const GPSPointPtr& p) { return p.get() == point; });
    if (at == points.end())
        return false;
    return item.itemSelection().isSelectedAtIndex(static_cast<std::uint64_t>(at - points.begin()));
}

bool TrackGeometry::pointIsSelectedAtIndex(const GPSItem& item, std::uint64_t index) {
    return item.itemSelection().isSelectedAtIndex(index);
}

WorldRect TrackGeometry::boundsOfGPSItems(const ItemList& items) {
    double minLon = kNaN, maxLon = kNaN, minLat = kNaN, maxLat = kNaN;
    for (const auto& item : items) {
        if (!item)
            continue;
        for (const auto& p : item->itemPoints()) {
            const double lon = p->longitude(), lat = p->latitude();
            if (std::isnan(minLon) || lon < minLon)
                minLon = lon;
            if (std::isnan(maxLon) || lon > maxLon)
                maxLon = lon;
            if (std::isnan(minLat) || lat < minLat)
                minLat = lat;
            if (std::isnan(maxLat) || lat > maxLat)
                maxLat = lat;
        }
    }
    return WorldRect{minLon, minLat, maxLon - minLon, maxLat - minLat};
}

void TrackGeometry::offsetPointsByDistance(GPSItem& item, double dx, double dy,
                                           bool selectedPointsOnly) {
    const PointList& points = item.itemPoints();
    const Selection& selection = item.itemSelection();
    PointList moved;
    moved.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (selectedPointsOnly && !selection.isSelectedAtIndex(i)) {
            moved.push_back(points[i]);
            continue;
        }
        auto copy = points[i]->copy();
        copy->setLongitude(points[i]->longitude() + dx);
        copy->setLatitude(points[i]->latitude() + dy);
        moved.push_back(std::move(copy));
    }
    item.setItemPoints(std::move(moved));
}

void TrackGeometry::sortPointsByTimestamp(GPSItem& item) {
    PointList sorted = item.itemPoints();
    std::stable_sort(sorted.begin(), sorted.end(), [](const GPSPointPtr& a, const GPSPointPtr& b) {
        const auto& ta = a->time();
        const auto& tb = b->time();
        if (!tb)
            return false;
        return !ta || *ta < *tb;
    });
    item.setItemPoints(std::move(sorted));
}

} // namespace wend
