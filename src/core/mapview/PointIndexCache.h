#pragma once

#include "core/mapview/ItemPointIndex.h"
#include "core/mapview/MapViewTypes.h"
#include "core/model/GPSItem.h"

#include <memory>
#include <unordered_map>

namespace wend {

// The point indexes of the items a view shows, built on first use and kept until the items'
// points change. Items with few points are answered by a plain scan. clear() must run when
// points may have changed (the view calls it on every track-data change); an entry whose
// point list is plainly another one is rebuilt in any case.
class PointIndexCache {
public:
    // Below this many points a scan is as fast as building an index.
    static constexpr std::size_t kMinIndexedPoints = 256;

    void clear() { m_entries.clear(); }
    void forget(const GPSItem* item) { m_entries.erase(item); }

    // The rules of MapViewGeometry::closestItemToPoint, through the indexes.
    GPSItemPtr closestItemToPoint(const ItemList& items, WorldPoint point, bool includeWaypoints);
    std::uint64_t indexOfClosestPoint(const GPSItem& item, WorldPoint point);
    std::uint64_t closestLineSegment(const GPSItem& item, WorldPoint point, double* distance = nullptr);
    std::vector<IndexRange> runsInside(const GPSItem& item, const WorldRect& rect);

private:
    struct Entry {
        const GPSPointPtr::element_type* front = nullptr;
        const GPSPointPtr::element_type* back = nullptr;
        const GPSPointPtr* data = nullptr;
        std::size_t size = 0;
        std::unique_ptr<ItemPointIndex> index;
    };

    const ItemPointIndex& indexFor(const GPSItem& item);

    std::unordered_map<const GPSItem*, Entry> m_entries;
};

} // namespace wend
