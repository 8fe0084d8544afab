#pragma once

#include "core/mapview/DrawingCacheBuildAhead.h"
#include "core/mapview/GPSViewDrawingCache.h"
#include "core/mapview/MapFrame.h"
#include "core/mapview/MapViewGeometry.h"
#include "core/mapview/MovePreview.h"
#include "core/mapview/ProjectedPointCache.h"
#include "core/mapview/ViewCullRegion.h"
#include "core/model/GPSItem.h"
#include "core/processing/UnitFormatter.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace wend {

// How the map view draws a document's items: it keeps one drawing cache per track and route
// (in the order of the items), decides when the caches are stale, and turns them, the
// waypoints and the scale bar into a MapFrame for the widget to paint.
//
// The caches are rebuilt lazily, by prepareFrame, when
// - the zoom or the view size changed,
// - the item list changed (other items or another order), or an item's point count or type
//   differs from what its cache was built from,
// - the centre moved so far that the view would leave the region the caches hold.
// A smaller move of the centre only shifts the cached paths. While the view moves away from
// the caches' centre, the caches for a centre further along its way are built on another
// thread and taken up once ready, so a pan seldom waits for a rebuild. Only the one item's cache is
// rebuilt when its points changed in place (invalidateItem) or a move preview starts or ends
// for it, and only its selected path when its selection alone changed.
//
// A move preview (points shown moved while a drag lasts) costs no rebuild per step: the
// moved stretches are kept as paths of their own, drawn shifted by the move, and the few
// segments joining them to the points that stay are placed anew for each frame.
class MapViewRenderer {
public:
    static constexpr double kOpacityOfTemporarilyVisibleItem = 0.35;
    // Labels are drawn only when waypoints on screen are on average farther apart than this.
    static constexpr double kMinAverageWaypointDistanceForLabels = 25;
    // Room for half the widest stroke and an arrow's shaft around the region kept.
    static constexpr double kStrokePadding = 16;
    // The widest label the culling allows for (labels left of the view may reach into it).
    static constexpr double kMaxLabelWidth = 600;

    MapViewRenderer() = default;
    MapViewRenderer(const MapViewRenderer&) = delete;
    MapViewRenderer& operator=(const MapViewRenderer&) = delete;

    // The document's track data changed: every item's points are checked (by identity)
    // before the next frame, and only items holding other point objects are rebuilt.
    void invalidate() { m_checkPoints = true; }
    // Points of the item changed in place: its cache is rebuilt before the next frame.
    void invalidateItem(const GPSItem* item);
    void setMovePreview(std::optional<MovePreview> preview) { m_movePreview = std::move(preview); }
    const std::optional<MovePreview>& movePreview() const { return m_movePreview; }
    bool needsRecache(const ItemList& items, const MapViewGeometry& geometry) const;
    // Rebuilds every cache now.
    void recacheTrackDrawingData(const ItemList& items, const MapViewGeometry& geometry);
    const std::vector<std::unique_ptr<GPSViewDrawingCache>>& cachedDrawingData() const {
        return m_cachedDrawingData;
    }
    // The region the current caches hold, in screen coordinates of their build.
    const ViewCullRegion& cullRegion() const { return m_cullRegion; }
    // Waits until the caches being built ahead of a pan are ready (the next frame takes them).
    void finishBuildAhead() { m_ahead.wait(); }

    // Rebuilds the caches when they are stale, then describes the frame. The scale bar uses
    // the formatter's measurement system, which the caller sets from the preferences.
    MapFrame prepareFrame(const ItemList& items, const MapViewGeometry& geometry,
                          const UnitFormatter& formatter);

    // A visible item: its colour's alpha; a hidden one with selected points: 0.35; else 0.
    static double opacityForItem(const GPSItem& item);
    // The mean distance in view points from each waypoint in the rectangle (view coordinates)
    // to its nearest other one there; 1e6 when no waypoint has a neighbour. Waypoints that
    // are drawn invisibly take no part.
    static double calcAvgDistBetweenWaypointsInRect(const ItemList& items,
                                                    const MapViewGeometry& geometry, ViewRect rect);
    // The world copies drawn side by side, each shifted by i world widths: -m...m, enough
    // for every point to reach the view from either side of the antimeridian, also after a
    // pan within the caches' margin.
    static std::pair<std::int64_t, std::int64_t> worldCopies(ViewSize viewSize,
                                                             std::int64_t worldSize);
    // How far the view may move before the caches must be rebuilt.
    static double cullMargin(ViewSize viewSize);

private:
    struct ItemState {
        GPSItemPtr item;
        Selection selection;
        std::size_t pointCount = 0;
        GPSItemType itemType = GPSItemType::Track;
        std::vector<IndexRange> moved;
        // Position of its cache in m_cachedDrawingData, -1 for none.
        std::ptrdiff_t cache = -1;
        bool stale = false;
    };
    enum class ItemChange { None, Selection, Cache, Everything };

    // The caches' shift to today's centre, in screen coordinates.
    ViewPoint currentOffset(const MapViewGeometry& geometry) const;
    // The shift of caches built for `center` to today's centre, in screen coordinates.
    static ViewPoint offsetFrom(WorldPoint center, const MapViewGeometry& geometry);
    // Whether caches built for `center` (at this zoom and size) hold the view.
    bool holdsView(WorldPoint center, const MapViewGeometry& geometry) const;
    // Takes up the caches built ahead when they are ready and hold the view, waiting for them
    // once the current ones no longer do; drops them when anything but the centre changed.
    // True if it took them.
    bool takeBuildAhead(const ItemList& items, const MapViewGeometry& geometry);
    // While the view moves away from the caches' centre, past a third of their margin, starts
    // building the caches for a centre half a margin further along the move.
    void startBuildAhead(const MapViewGeometry& geometry);
    bool needsFullRecache(const ItemList& items, const MapViewGeometry& geometry) const;
    // The caches were built for this zoom, view size and number of items.
    bool builtForSameView(const ItemList& items, const MapViewGeometry& geometry) const;
    bool anyItemChanged(const ItemList& items) const;
    // Whether the caches are stale only because the centre moved beyond their region.
    bool onlyCentreMoved(const ItemList& items, const MapViewGeometry& geometry) const;
    ItemChange itemChange(const ItemState& state, const GPSItemPtr& item) const;
    std::vector<IndexRange> movedRangesOf(const GPSItem* item) const;
    // The centre of the caches' build in world pixels of the current zoom.
    ViewPoint builtCenterPixels(const MapViewGeometry& geometry) const;
    // Brings the caches of changed items up to date (nothing else may have changed).
    void updateChangedItems(const ItemList& items, const MapViewGeometry& geometry);
    std::unique_ptr<GPSViewDrawingCache> buildCache(const GPSItemPtr& item,
                                                    const MapViewGeometry& geometry,
                                                    const std::vector<IndexRange>& moved);
    // Where a point of an item is shown now, the preview's move included.
    ViewPoint shownScreenPoint(const GPSItem& item, std::size_t index,
                               const MapViewGeometry& geometry) const;
    // The segments joining moved and resting points of the caches' items, in screen
    // coordinates of now: [cache] = {all, selected}.
    void placeConnectors(const MapViewGeometry& geometry);

    std::vector<std::unique_ptr<GPSViewDrawingCache>> m_cachedDrawingData;
    std::vector<ItemState> m_itemStates;
    ViewCullRegion m_cullRegion;
    ProjectedPointCache m_projectedPoints;
    // Kept between builds: a large track's buffer would otherwise be faulted in afresh.
    std::vector<ViewPoint> m_positionsBuffer;
    std::optional<MovePreview> m_movePreview;
    std::vector<std::pair<ViewPath, ViewPath>> m_connectors;
    bool m_valid = false;
    bool m_checkPoints = false;
    // Counts the rebuilds of complete paths (MapFrame::pathsGeneration).
    std::uint64_t m_pathsGeneration = 0;
    // Counts the changes of the outlines' look (MapFrame::outlinesGeneration), and what the
    // last frame's outlines were drawn in (colour with opacity, per cache).
    std::uint64_t m_outlinesGeneration = 0;
    std::vector<RGBAColor> m_outlineColors;
    // Whether the last frame counted the arrows among the outlines.
    bool m_arrowsKept = false;
    int m_builtZoomLevel = 0;
    ViewSize m_builtViewSize;
    WorldPoint m_builtCenter;
    // The last frame's centre (world pixels) and zoom: the view's move since then.
    ViewPoint m_lastCenterPixels;
    int m_lastZoomLevel = -1;
    // Last, so it stops before what its build reads goes.
    DrawingCacheBuildAhead m_ahead;
};

} // namespace wend
