#pragma once

#include "core/mapview/MapViewGeometry.h"
#include "core/mapview/PointChunks.h"
#include "core/mapview/ProjectedPointCache.h"
#include "core/mapview/ScreenTransform.h"
#include "core/mapview/ViewCullRegion.h"
#include "core/mapview/ViewPath.h"
#include "core/model/GPSItem.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace wend {

// The paths of one track or route in screen coordinates as they were when the view showed
// `cachedCenter`: the whole item, its selected stretches and its direction arrows. Built once
// per zoom, size, item or selection change and reused for every redraw and pan step; a later
// centre only shifts them. Only what lies in the cull region is kept, and points closer than
// 3.5 points to the last drawn one are dropped, so the paths grow with the on-screen length
// of the item, not with its point count.
class GPSViewDrawingCache {
public:
    static constexpr double kMinPointSpacing = 3.5;
    static constexpr double kArrowSpacing = 30;

    GPSViewDrawingCache(GPSItemPtr item, const MapViewGeometry& geometry,
                        const ViewCullRegion& region);
    // The same from the item's points already placed in screen coordinates of the geometry
    // (one position per point). While the points of `moved` (sorted stretches) are shown
    // moved, the complete and selected paths leave out those points and every segment that
    // touches them, the moved paths hold them, to be drawn shifted, and there are no arrows.
    GPSViewDrawingCache(GPSItemPtr item, const MapViewGeometry& geometry,
                        const ViewCullRegion& region, const std::vector<ViewPoint>& positions,
                        const std::vector<IndexRange>& moved = {});

    // What a cache is built from, read from the item on the window's thread: a build on
    // another thread reads neither the item nor its points.
    struct Source {
        GPSItemPtr item;
        Selection selection;
        GPSItemType itemType = GPSItemType::Track;
        std::size_t pointCount = 0;

        static Source of(GPSItemPtr item);
    };
    // The same for a view centred on `center`, where only the chunks of points the skips do
    // not pass over (and the last positioned point of each passed over) are placed, with the
    // arrows placed already (when given).
    GPSViewDrawingCache(Source source, WorldPoint center, const ViewCullRegion& region,
                        const std::vector<ViewPoint>& positions, const std::vector<IndexRange>& moved,
                        const PointChunks::Skips* skips, std::optional<ViewPath> arrows);
    // A cache from the item's projected points for a view centred on `centerPixels` (world
    // pixels of the transform's zoom), which is `center`; `buffer` is scratch room for the
    // screen positions. Reads only the entry and the source, so it may run on any thread.
    static std::unique_ptr<GPSViewDrawingCache> fromProjected(Source source,
                                                              const ProjectedPointCache::Entry& entry,
                                                              const ScreenTransform& screen, WorldPoint center,
                                                              const ViewCullRegion& region,
                                                              const std::vector<IndexRange>& moved,
                                                              std::vector<ViewPoint>& buffer);

    const GPSItemPtr& item() const { return m_item; }
    WorldPoint cachedCenter() const { return m_cachedCenter; }
    const ViewPath& completePath() const { return m_completePath; }
    const ViewPath& selectedPath() const { return m_selectedPath; }
    const ViewPath& arrowPath() const { return m_arrowPath; }
    const ViewPath& movedPath() const { return m_movedPath; }
    const ViewPath& movedSelectedPath() const { return m_movedSelectedPath; }
    // The stretches shown moved when the paths were built (empty without a preview).
    const std::vector<IndexRange>& movedRanges() const { return m_movedRanges; }

    // After a change of the item's selection alone: the new selected path, from positions
    // that hold at least the selected points (in the screen coordinates of the build).
    void updateSelection(const std::vector<ViewPoint>& positions, const ViewCullRegion& region);

    // What the paths were built from, to tell when they no longer match the item.
    const Selection& cachedSelection() const { return m_cachedSelection; }
    std::size_t cachedPointCount() const { return m_cachedPointCount; }
    GPSItemType cachedItemType() const { return m_cachedItemType; }

    // The path of the stretches of a selection over points already placed on the screen: a
    // stretch of one point is a dot; longer ones are polylines that skip points closer than
    // 3.5 to the last drawn one but always reach the stretch's last point. Segments outside
    // the region are left out, breaking the polyline.
    static ViewPath bezierPathForItemSelection(const Selection& selection,
                                               const std::vector<ViewPoint>& positions,
                                               const ViewCullRegion& region);
    // An arrow every time the track has moved 30 points from the previous arrow (or from its
    // first point), pointing along that move; only arrows inside the region are kept.
    // The path of any sorted stretches, as for a selection.
    static ViewPath pathForRanges(const std::vector<IndexRange>& ranges,
                                  const std::vector<ViewPoint>& positions,
                                  const ViewCullRegion& region);
    static ViewPath pathForRanges(const std::vector<IndexRange>& ranges,
                                  const std::vector<ViewPoint>& positions,
                                  const ViewCullRegion& region, const PointChunks::Skips* skips);
    // The points of `count` not in the sorted stretches, as stretches, and the intersection
    // of two lists of sorted stretches (points in both).
    static std::vector<IndexRange> complementOfRanges(const std::vector<IndexRange>& ranges,
                                                      std::size_t count);
    static std::vector<IndexRange> intersectionOfRanges(const std::vector<IndexRange>& a,
                                                        const std::vector<IndexRange>& b);
    static ViewPath arrowPathForPositions(const std::vector<ViewPoint>& positions,
                                          const ViewCullRegion& region);

private:
    GPSItemPtr m_item;
    WorldPoint m_cachedCenter;
    ViewPath m_completePath;
    ViewPath m_selectedPath;
    ViewPath m_arrowPath;
    ViewPath m_movedPath;
    ViewPath m_movedSelectedPath;
    std::vector<IndexRange> m_movedRanges;
    Selection m_cachedSelection;
    std::size_t m_cachedPointCount = 0;
    GPSItemType m_cachedItemType = GPSItemType::Track;
};

} // namespace wend
