#pragma once

#include "core/mapview/ArrowPlacement.h"
#include "core/mapview/MapViewGeometry.h"
#include "core/mapview/MapViewTypes.h"
#include "core/mapview/PointChunks.h"
#include "core/mapview/ScreenTransform.h"
#include "core/mapview/ViewPath.h"
#include "core/model/GPSItem.h"
#include "core/model/IndexRange.h"

#include <unordered_map>
#include <vector>

namespace wend {

// The Mercator positions of items' points in a world one unit wide, kept between rebuilds of
// the drawing caches: a new zoom, size or centre then costs a multiply-add per point instead
// of a logarithm. With them it keeps their chunks' bounds, so a rebuild walks only the chunks
// that meet its region, and where the direction arrows stand at the last zoom. An entry is
// used only while its item holds exactly the same point objects (points are never edited in
// place once shared; a changed point is a new object).
class ProjectedPointCache {
public:
    struct Entry {
        PointList points;
        std::vector<ViewPoint> unitPositions;
        PointChunks chunks;
        ArrowPlacement arrows;
    };

    // The item's points in screen coordinates of the geometry (NaN where a point has no
    // position), written into `positions`.
    void screenPositions(const GPSItem& item, const MapViewGeometry& geometry,
                         std::vector<ViewPoint>& positions);
    // The item's entry, its unit positions brought up to its points and its arrows placed for
    // a world `worldSize` points wide. The entry stays as it is until the next call for the
    // item, forget or retainOnly.
    const Entry& currentEntry(const GPSItem& item, double worldSize);
    // The item's entry as it is, without looking at the item; nullptr for none.
    const Entry* entryOf(const GPSItem* item) const;

    // The entry's positions on the screen, written (into `positions`, sized to the point
    // count) only for the chunks the skips keep, and for the last positioned point of every
    // other chunk.
    static void screenPositions(const Entry& entry, const ScreenTransform& screen,
                                std::vector<ViewPoint>& positions, const PointChunks::Skips& skips);
    // The direction arrows that stand in the region, with the skips of the same build; the
    // entry's arrows must be placed for the transform's zoom.
    static ViewPath arrowPath(const Entry& entry, const ScreenTransform& screen,
                              const ViewCullRegion& region, const PointChunks::Skips& skips);
    // Fills only the given stretches of `positions` (sized to the item's point count) from the
    // item's entry, which must still be current; the view's centre is given in world pixels
    // (that of an earlier build, say). False, and nothing filled, when the item has no
    // current entry.
    bool screenPositionsOfRanges(const GPSItem& item, ViewPoint centerPixels, const MapViewGeometry& geometry,
                                 const std::vector<IndexRange>& ranges, std::vector<ViewPoint>& positions) const;
    // Whether the item's entry holds exactly its point objects.
    bool isCurrent(const GPSItem& item) const;
    // Forgets an item whose points changed in place.
    void forget(const GPSItem* item) { m_entries.erase(item); }
    // Forgets the items that are not in the list.
    void retainOnly(const ItemList& items);
    std::size_t entryCount() const { return m_entries.size(); }

private:
    Entry& entryWithCurrentPoints(const GPSItem& item);

    std::unordered_map<const GPSItem*, Entry> m_entries;
};

} // namespace wend
