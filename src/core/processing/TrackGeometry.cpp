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

// The smallest rectangle around the points added to it.
class PointBounds {
public:
    void add(const GPSPoint& p) {
        const double lon = p.longitude(), lat = p.latitude();
        if (std::isnan(m_minLon) || lon < m_minLon)
            m_minLon = lon;
        if (std::isnan(m_maxLon) || lon > m_maxLon)
            m_maxLon = lon;
        if (std::isnan(m_minLat) || lat < m_minLat)
            m_minLat = lat;
        if (std::isnan(m_maxLat) || lat > m_maxLat)
            m_maxLat = lat;
    }
    WorldRect rect() const {
        return WorldRect{m_minLon, m_minLat, m_maxLon - m_minLon, m_maxLat - m_minLat};
    }

private:
    double m_minLon = kNaN, m_maxLon = kNaN, m_minLat = kNaN, m_maxLat = kNaN;
};
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
    PointBounds bounds;
    for (const auto& item : items) {
        if (!item)
            continue;
        for (const auto& p : item->itemPoints())
            bounds.add(*p);
    }
    return bounds.rect();
}

WorldRect TrackGeometry::boundsOfSelectedPoints(const ItemList& items) {
    PointBounds bounds;
    for (const auto& item : items) {
        if (!item || item->itemPoints().empty())
            continue;
        const PointList& points = item->itemPoints();
        for (const IndexRange& range : item->itemSelection().ranges()) {
            const std::uint64_t last = std::min<std::uint64_t>(range.end(), points.size() - 1);
            for (std::uint64_t i = range.location; i <= last; ++i)
                bounds.add(*points[i]);
        }
    }
    return bounds.rect();
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
