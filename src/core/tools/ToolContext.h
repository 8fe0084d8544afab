#pragma once

#include "core/mapview/MapViewGeometry.h"
#include "core/mapview/PointIndexCache.h"
#include "core/tools/ToolHost.h"

namespace wend {

class UndoManager;
class WendDocument;

// Everything a tool works with during one event: the document (and its undo manager), the
// view's geometry with the nearest-item questions answered through the view's point indexes,
// and the host window for redrawing, previews, tool switching and the waypoint editor.
class ToolContext {
public:
    ToolContext(WendDocument& document, const MapViewGeometry& geometry, ToolHost& host,
                PointIndexCache& pointIndexes)
        : m_document(document), m_geometry(geometry), m_host(host), m_pointIndexes(pointIndexes) {}

    WendDocument& document() const { return m_document; }
    UndoManager& undoManager() const;
    // The items the view shows (the preview's while the document has one).
    const ItemList& items() const;
    const MapViewGeometry& geometry() const { return m_geometry; }
    ToolHost& host() const { return m_host; }

    GPSItemPtr closestItemToPoint(WorldPoint point, bool includeWaypoints) const {
        return m_pointIndexes.closestItemToPoint(items(), point, includeWaypoints);
    }
    std::uint64_t indexOfClosestPoint(const GPSItem& item, WorldPoint point) const {
        return m_pointIndexes.indexOfClosestPoint(item, point);
    }
    std::uint64_t closestLineSegment(const GPSItem& item, WorldPoint point) const {
        return m_pointIndexes.closestLineSegment(item, point);
    }
    std::vector<IndexRange> runsInside(const GPSItem& item, const WorldRect& rect) const {
        return m_pointIndexes.runsInside(item, rect);
    }
    double viewDistanceFromPoint(WorldPoint a, WorldPoint b) const {
        return m_geometry.viewDistanceFromPoint(a, b);
    }
    // Where a point lies on the screen (y growing downwards).
    ViewPoint screenPointOf(const GPSPoint& point) const {
        return m_geometry.transformWorldToScreen({point.longitude(), point.latitude()});
    }

private:
    WendDocument& m_document;
    const MapViewGeometry& m_geometry;
    ToolHost& m_host;
    PointIndexCache& m_pointIndexes;
};

} // namespace wend
