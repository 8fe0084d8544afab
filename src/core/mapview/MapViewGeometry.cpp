#include "core/mapview/MapViewGeometry.h"

#include "core/processing/TrackGeometry.h"

#include <algorithm>
#include <cmath>

namespace wend {

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr double kHalfPi = 1.5707963267948966;
// The deepest zoom that fitting a region chooses.
constexpr int kMaxFitZoomLevel = 22;

double wrappedLatitude(double lat) {
    lat = std::fmod(lat, 180.0);
    if (lat < -90.0)
        lat += 180.0;
    else if (lat > 90.0)
        lat -= 180.0;
    return lat;
}
} // namespace

MapViewGeometry::MapViewGeometry() {
    recacheWorldData();
}

std::int64_t MapViewGeometry::worldSizeForZoom(int zoomLevel) {
    // Beyond 54 the shift would leave the signed 64-bit range; the view never goes past 24.
    return std::int64_t{256} << std::clamp(zoomLevel, 0, 54);
}

double MapViewGeometry::wrappedLongitude(double lon) {
    lon = std::fmod(lon, 360.0);
    if (lon < -180.0)
        lon += 360.0;
    else if (lon > 180.0)
        lon -= 360.0;
    return lon;
}

ViewPoint MapViewGeometry::projectToWorldPixels(double lon, double lat, double worldSize) {
    const double k = worldSize / kTwoPi;
    const double s = std::sin(lat * kRadiansPerDegree);
    return {lon * kRadiansPerDegree * k, 0.5 * k * std::log((1 + s) / (1 - s))};
}

WorldPoint MapViewGeometry::unprojectWorldPixels(ViewPoint pixels, double worldSize) {
    const double k = worldSize / kTwoPi;
    const double lon = pixels.x / k * kDegreesPerRadian;
    const double lat = (kHalfPi - 2 * std::atan(std::exp(-pixels.y / k))) * kDegreesPerRadian;
    return {wrappedLongitude(lon), wrappedLatitude(lat)};
}

void MapViewGeometry::recacheWorldData() {
    m_currentWorldSize = worldSizeForZoom(m_zoomLevel);
    m_centerPositionInPixels =
        projectToWorldPixels(m_center.lon, m_center.lat, static_cast<double>(m_currentWorldSize));
}

void MapViewGeometry::setZoomLevel(int zoomLevel) {
    if (zoomLevel == m_zoomLevel)
        return;
    m_zoomLevel = std::clamp(zoomLevel, kMinZoomLevel, kMaxZoomLevel);
    m_willMoveTo.notify(m_center.lon, m_center.lat, m_zoomLevel);
    recacheWorldData();
    m_needsDisplay.notify();
}

void MapViewGeometry::setCenter(double lon, double lat) {
    if (!std::isfinite(lon) || !std::isfinite(lat))
        return;
    const WorldPoint center{wrappedLongitude(lon),
                            std::clamp(lat, -kMaxCenterLatitude, kMaxCenterLatitude)};
    if (center == m_center)
        return;
    m_willMoveTo.notify(center.lon, center.lat, m_zoomLevel);
    m_center = center;
    recacheWorldData();
    m_needsDisplay.notify();
}

void MapViewGeometry::setViewSize(double width, double height) {
    const ViewSize size{std::isfinite(width) ? std::max(width, 0.0) : 0.0,
                        std::isfinite(height) ? std::max(height, 0.0) : 0.0};
    if (size == m_viewSize)
        return;
    m_viewSize = size;
    m_needsDisplay.notify();
}

ViewPoint MapViewGeometry::transformWorldToView(double lon, double lat) const {
    const ViewPoint p = projectToWorldPixels(lon, lat, static_cast<double>(m_currentWorldSize));
    return {p.x - (m_centerPositionInPixels.x - m_viewSize.width / 2),
            p.y - (m_centerPositionInPixels.y - m_viewSize.height / 2)};
}

ViewPoint MapViewGeometry::transformWorldToView(WorldPoint world) const {
    return transformWorldToView(world.lon, world.lat);
}

WorldPoint MapViewGeometry::transformViewToWorld(ViewPoint view) const {
    const ViewPoint p{view.x + (m_centerPositionInPixels.x - m_viewSize.width / 2),
                      view.y + (m_centerPositionInPixels.y - m_viewSize.height / 2)};
    return unprojectWorldPixels(p, static_cast<double>(m_currentWorldSize));
}

ViewPoint MapViewGeometry::screenPointFromViewPoint(ViewPoint view) const {
    return {view.x, m_viewSize.height - view.y};
}

ViewPoint MapViewGeometry::viewPointFromScreenPoint(ViewPoint screen) const {
    return {screen.x, m_viewSize.height - screen.y};
}

WorldPoint MapViewGeometry::transformScreenToWorld(ViewPoint screen) const {
    return transformViewToWorld(viewPointFromScreenPoint(screen));
}

ViewPoint MapViewGeometry::transformWorldToScreen(WorldPoint world) const {
    return screenPointFromViewPoint(transformWorldToView(world));
}

double MapViewGeometry::viewDistanceFromPoint(WorldPoint a, WorldPoint b) const {
    const ViewPoint va = transformWorldToView(a);
    const ViewPoint vb = transformWorldToView(b);
    return std::hypot(va.x - vb.x, va.y - vb.y);
}

bool MapViewGeometry::distanceToItem(const GPSItem& item, WorldPoint point, double* distance) {
    if (item.itemPoints().size() == 1) {
        TrackGeometry::closestPointToPoint(item, point.lon, point.lat, distance);
        return true;
    }
    return TrackGeometry::closestLineSegmentToPoint(item, point.lon, point.lat, distance) !=
           TrackGeometry::NotFound;
}

GPSItemPtr MapViewGeometry::closestItemToPoint(const ItemList& items, WorldPoint point,
                                               bool includeWaypoints) {
    return closestItemToPoint(items, includeWaypoints,
                              [point](const GPSItem& item, double* distance) {
                                  return distanceToItem(item, point, distance);
                              });
}

GPSItemPtr MapViewGeometry::closestItemToPoint(const ItemList& items, bool includeWaypoints,
                                               const ItemDistance& measure) {
    GPSItemPtr closest;
    double closestDistance = 0;
    for (const auto& item : items) {
        if (!item || !item->visible())
            continue;
        if (!includeWaypoints && item->itemType() == GPSItemType::Waypoint)
            continue;
        double distance = GPSPoint::NaN;
        if (!measure(*item, &distance))
            continue;
        // An item whose points have no position has no distance and cannot be the nearest.
        if (std::isnan(distance))
            continue;
        if (!closest || distance < closestDistance) {
            closest = item;
            closestDistance = distance;
        }
    }
    return closest;
}

void MapViewGeometry::centerViewOnWorldRect(const WorldRect& rect) {
    if (!std::isfinite(rect.x) || !std::isfinite(rect.y) || !std::isfinite(rect.width) ||
        !std::isfinite(rect.height) || rect.width < 0 || rect.height < 0)
        return;
    // The region's size in world pixels at zoom 0, latitude taken linearly like longitude.
    const double w0 = rect.width / 360.0 * 256.0;
    const double h0 = rect.height / 360.0 * 256.0;
    int zoom = -2;
    double scale = 1;
    while (zoom < kMaxFitZoomLevel && m_viewSize.width > w0 * scale &&
           m_viewSize.height > h0 * scale) {
        ++zoom;
        scale *= 2;
    }
    setCenter(rect.midX(), rect.midY());
    setZoomLevel(zoom);
}

void MapViewGeometry::centerOnSelection(const ItemList& items) {
    double lonSum = 0, latSum = 0;
    std::uint64_t count = 0;
    for (const auto& item : items) {
        if (!item)
            continue;
        const PointList& points = item->itemPoints();
        if (points.empty())
            continue;
        const std::uint64_t last = points.size() - 1;
        for (const IndexRange& range : item->itemSelection().ranges()) {
            for (std::uint64_t i = range.location; i <= std::min(range.end(), last); ++i) {
                const double lon = points[i]->longitude(), lat = points[i]->latitude();
                if (std::isnan(lon) || std::isnan(lat))
                    continue;
                lonSum += lon;
                latSum += lat;
                ++count;
            }
        }
    }
    if (count > 0)
        setCenter(lonSum / static_cast<double>(count), latSum / static_cast<double>(count));
}

void MapViewGeometry::beginPan() {
    m_beingDragged = true;
    m_dragStartPoint = m_center;
    m_dragDistance = {};
}

void MapViewGeometry::dragPan(double deltaX, double deltaY) {
    if (!m_beingDragged || !std::isfinite(deltaX) || !std::isfinite(deltaY))
        return;
    m_dragDistance.x -= deltaX;
    m_dragDistance.y += deltaY;
    const double degreesPerPixel = 360.0 / static_cast<double>(m_currentWorldSize);
    setCenter(m_dragStartPoint.lon + m_dragDistance.x * degreesPerPixel,
              m_dragStartPoint.lat + m_dragDistance.y * degreesPerPixel);
}

void MapViewGeometry::centerAndZoomInAt(ViewPoint screenPointer) {
    setCenter(transformScreenToWorld(screenPointer));
    zoomIn();
}

bool MapViewGeometry::scrollWheel(double deltaY, bool hasScrollPhase, ViewPoint screenPointer) {
    if (hasScrollPhase)
        return false;
    return accumulateMagnification(deltaY, screenPointer);
}

bool MapViewGeometry::magnify(double magnification, ViewPoint screenPointer) {
    return accumulateMagnification(magnification, screenPointer);
}

bool MapViewGeometry::accumulateMagnification(double amount, ViewPoint screenPointer) {
    if (!std::isfinite(amount))
        return false;
    m_magnificationAccum += amount;
    if (std::fabs(m_magnificationAccum) < kMagnificationStep)
        return false;
    const int direction = m_magnificationAccum > 0 ? 1 : -1;
    m_magnificationAccum = 0;
    // At a zoom limit the step would only shift the centre towards the pointer.
    if ((direction > 0 && m_zoomLevel >= kMaxZoomLevel) ||
        (direction < 0 && m_zoomLevel <= kMinZoomLevel))
        return false;

    // Keeps the world point under the pointer in place (to a linear approximation).
    const WorldPoint pointer = transformScreenToWorld(screenPointer);
    const double dx = pointer.lon - m_center.lon;
    const double dy = pointer.lat - m_center.lat;
    if (direction > 0)
        setCenter(m_center.lon + dx * 0.5, m_center.lat + dy * 0.5);
    else
        setCenter(m_center.lon - dx, m_center.lat - dy);
    setZoomLevel(m_zoomLevel + direction);
    return true;
}

} // namespace wend
