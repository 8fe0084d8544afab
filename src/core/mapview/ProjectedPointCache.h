#pragma once

#include "core/mapview/MapViewGeometry.h"
#include "core/mapview/MapViewTypes.h"
#include "core/model/GPSItem.h"

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
