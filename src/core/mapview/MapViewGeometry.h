#pragma once

#include "core/base/Signal.h"
#include "core/mapview/MapViewTypes.h"
#include "core/model/GPSItem.h"
#include "core/processing/WorldRect.h"

#include <cstdint>
#include <functional>

namespace wend {

// Where the map view looks and how it maps the earth onto itself: zoom level, centre, view
// size, the spherical Mercator projection into world pixels, and every way the user moves the
// view (zoom steps, fitting a region, centring on the selection, pan drags, wheel and pinch).
//
// World pixels at zoom z: a square world W = 256 << z pixels wide, origin at longitude 0,
// latitude 0, y growing northwards. View coordinates are logical points with y growing
// upwards; the view's middle shows `center`. Screen coordinates are the same points with y
// growing downwards from the top-left corner (what the widget's events and painter use).
//
// The view is the authority on centre and zoom: every change is announced through
// `willMoveTo` before it takes effect, so the web map can follow, and `needsDisplay` after.
class MapViewGeometry {
public:
    static constexpr int kMinZoomLevel = 2;
    static constexpr int kMaxZoomLevel = 24;
    // The degree factors of the projection, kept at exactly these digits: tiles and tracks
    // line up with them, and longitude 180 lands just short of the world's edge.
    static constexpr double kRadiansPerDegree = 0.017453292;
    static constexpr double kDegreesPerRadian = 57.29577957;
    // The northern and southern edge of the square Mercator world: the centre stays inside
    // so the view never looks past the map's last tile row.
    static constexpr double kMaxCenterLatitude = 85.0511287798066;
    // Wheel and pinch amounts smaller than this keep accumulating before a zoom step.
    static constexpr double kMagnificationStep = 0.1;

    MapViewGeometry();
    MapViewGeometry(const MapViewGeometry&) = delete;
    MapViewGeometry& operator=(const MapViewGeometry&) = delete;

    // ---- notifications --------------------------------------------------------------------
    // (longitude, latitude, zoom) on every change of centre or zoom, before the view redraws.
    // A new zoom is already stored when it is called, a new centre not yet. The document
    // forwards it to the web map.
    Signal<double, double, int>& willMoveTo() { return m_willMoveTo; }
    // After anything that changes what the view shows (centre, zoom, size).
    Signal<>& needsDisplay() { return m_needsDisplay; }

    // ---- state ----------------------------------------------------------------------------
    int zoomLevel() const { return m_zoomLevel; }
    // Clamps to 2...24. Asking for the current zoom does nothing; asking for a zoom beyond a
    // limit while at that limit stores it again and still notifies.
    void setZoomLevel(int zoomLevel);
    void zoomIn() { setZoomLevel(m_zoomLevel + 1); }
    void zoomOut() { setZoomLevel(m_zoomLevel - 1); }

    WorldPoint center() const { return m_center; }
    // Wraps the longitude into -180...180 and clamps the latitude to the Mercator world.
    // Non-finite values and a centre equal to the stored one are ignored.
    void setCenter(double lon, double lat);
    void setCenter(WorldPoint center) { setCenter(center.lon, center.lat); }

    ViewSize viewSize() const { return m_viewSize; }
    // Centre and zoom stay, so a resized view shows the same centre.
    void setViewSize(double width, double height);

    // W for the current zoom.
    std::int64_t currentWorldSize() const { return m_currentWorldSize; }
    // `center` in world pixels at the current zoom.
    ViewPoint centerPositionInPixels() const { return m_centerPositionInPixels; }

    // ---- transforms -----------------------------------------------------------------------
    static std::int64_t worldSizeForZoom(int zoomLevel);
    // Forward projection into world pixels of a world W pixels wide.
    static ViewPoint projectToWorldPixels(double lon, double lat, double worldSize);
    // The inverse, with the result wrapped into -180...180 and -90...90.
    static WorldPoint unprojectWorldPixels(ViewPoint pixels, double worldSize);
    // Brings a longitude into -180...180 the way repeated steps of 360 would (so -540 gives
    // -180 and 540 gives 180), without looping.
    static double wrappedLongitude(double lon);

    ViewPoint transformWorldToView(WorldPoint world) const;
    ViewPoint transformWorldToView(double lon, double lat) const;
    WorldPoint transformViewToWorld(ViewPoint view) const;
    // Between view coordinates (y up) and screen coordinates (y down); each is its own inverse.
    ViewPoint screenPointFromViewPoint(ViewPoint view) const;
    ViewPoint viewPointFromScreenPoint(ViewPoint screen) const;
    WorldPoint transformScreenToWorld(ViewPoint screen) const;
    ViewPoint transformWorldToScreen(WorldPoint world) const;
    // The distance in view points between the view positions of two world points.
    double viewDistanceFromPoint(WorldPoint a, WorldPoint b) const;

    // The nearest visible item to a world point, measured in degrees to its nearest segment
    // (to its point when it has just one); ties go to the earlier item. Waypoints take part
    // only when asked. Null when no item qualifies.
    static GPSItemPtr closestItemToPoint(const ItemList& items, WorldPoint point,
                                         bool includeWaypoints);
    // The same with another way to measure an item (an index): false when the item has no
    // distance, else `distance` is set.
    using ItemDistance = std::function<bool(const GPSItem& item, double* distance)>;
    static GPSItemPtr closestItemToPoint(const ItemList& items, bool includeWaypoints,
                                         const ItemDistance& measure);
    // The plain measure: to the point of a one-point item, else to the nearest segment.
    static bool distanceToItem(const GPSItem& item, WorldPoint point, double* distance);

    // ---- moving the view ------------------------------------------------------------------
    // Centres on the rectangle (origin = south-west corner, size = longitude and latitude
    // span) and zooms to one level below the deepest at which it fits strictly inside the
    // view, at most 22. Negative or non-finite spans and a non-finite origin are ignored.
    void centerViewOnWorldRect(const WorldRect& rect);
    // Centres on the mean position of every selected point of the items (hidden ones
    // included); nothing happens when no point is selected.
    void centerOnSelection(const ItemList& items);

    // A pan drag (the pan mode's mouse down, each move, the release). Deltas are the pointer's
    // movement in screen coordinates since the previous event. The view moves by 360 degrees
    // per world width on both axes (latitude is not Mercator-corrected while panning).
    void beginPan();
    void dragPan(double deltaX, double deltaY);
    void endPan() { m_beingDragged = false; }
    bool beingDragged() const { return m_beingDragged; }
    // The pan mode's double click: centre on the pointer, then zoom in one level.
    void centerAndZoomInAt(ViewPoint screenPointer);

    // A classic mouse wheel step: `deltaY` in wheel notches, positive away from the user (Qt:
    // angleDelta().y() / 120.0). Events with a scroll or momentum phase (trackpad scrolling)
    // are ignored. Returns whether the view zoomed, so the current tool can hear a mouse move.
    bool scrollWheel(double deltaY, bool hasScrollPhase, ViewPoint screenPointer);
    // A pinch: the gesture's magnification delta (Qt: QNativeGestureEvent::value()).
    bool magnify(double magnification, ViewPoint screenPointer);
    // Wheel and pinch amounts not yet turned into a zoom step.
    double magnificationAccum() const { return m_magnificationAccum; }

private:
    bool accumulateMagnification(double amount, ViewPoint screenPointer);
    void recacheWorldData();

    int m_zoomLevel = kMinZoomLevel;
    WorldPoint m_center;
    ViewSize m_viewSize;
    double m_magnificationAccum = 0;
    bool m_beingDragged = false;
    WorldPoint m_dragStartPoint;
    ViewPoint m_dragDistance;
    ViewPoint m_centerPositionInPixels;
    std::int64_t m_currentWorldSize = 0;

    Signal<double, double, int> m_willMoveTo;
    Signal<> m_needsDisplay;
};

} // namespace wend
