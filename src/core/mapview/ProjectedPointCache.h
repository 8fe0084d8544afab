#pragma once

#include "core/mapview/MapViewGeometry.h"
#include "core/mapview/MapViewTypes.h"
#include "core/model/GPSItem.h"
#include "core/model/IndexRange.h"

#include <unordered_map>
#include <vector>

namespace wend {

// The Mercator positions of items' points in a world one unit wide, kept between rebuilds of
// the drawing caches: a new zoom, size or centre then costs a multiply-add per point instead
// of a logarithm. An entry is used only while its item holds exactly the same point objects
// (points are never edited in place once shared; a changed point is a new object).
class ProjectedPointCache {
public:
    // The item's points in screen coordinates of the geometry (NaN where a point has no
    // position), written into `positions`.
    void screenPositions(const GPSItem& item, const MapViewGeometry& geometry,
                         std::vector<ViewPoint>& positions);
    // The same for a view centred on `centerPixels` (world pixels at the geometry's zoom).
    void screenPositions(const GPSItem& item, const MapViewGeometry& geometry,
                         std::vector<ViewPoint>& positions, ViewPoint centerPixels);
    // Fills only the given stretches of `positions` (sized to the item's point count) from the
    // entry made by the last screenPositions of the item, which must still be current; the
    // view's centre is given in world pixels (that of an earlier build, say). False, and
    // nothing filled, when the item has no current entry.
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
    struct Entry {
        PointList points;
        std::vector<ViewPoint> unitPositions;
    };

    std::unordered_map<const GPSItem*, Entry> m_entries;
};

} // namespace wend
