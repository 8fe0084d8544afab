#include "core/mapview/ProjectedPointCache.h"

#include <algorithm>
#include <unordered_set>

namespace wend {

namespace {
bool samePoints(const PointList& a, const PointList& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](const GPSPointPtr& p, const GPSPointPtr& q) {
                                                  return p.get() == q.get();
                                              });
}
} // namespace

void ProjectedPointCache::screenPositions(const GPSItem& item, const MapViewGeometry& geometry,
                                          std::vector<ViewPoint>& positions) {
    screenPositions(item, geometry, positions, geometry.centerPositionInPixels());
}

void ProjectedPointCache::screenPositions(const GPSItem& item, const MapViewGeometry& geometry,
                                          std::vector<ViewPoint>& positions, ViewPoint center) {
    const PointList& points = item.itemPoints();
    Entry& entry = m_entries[&item];
    if (!samePoints(entry.points, points)) {
        // Only the stretch between the points both lists begin and end with is projected
        // again: an edit of a few points of a long track costs a few logarithms.
        const PointList& old = entry.points;
        const std::size_t shorter = std::min(old.size(), points.size());
        std::size_t prefix = 0;
        while (prefix < shorter && old[prefix] == points[prefix])
            ++prefix;
        std::size_t suffix = 0;
        while (suffix < shorter - prefix && old[old.size() - 1 - suffix] == points[points.size() - 1 - suffix])
            ++suffix;
        std::vector<ViewPoint> unit;
        unit.reserve(points.size());
        unit.insert(unit.end(), entry.unitPositions.begin(),
                    entry.unitPositions.begin() + static_cast<std::ptrdiff_t>(prefix));
        for (std::size_t i = prefix; i < points.size() - suffix; ++i)
            unit.push_back(MapViewGeometry::projectToWorldPixels(points[i]->longitude(), points[i]->latitude(), 1.0));
        unit.insert(unit.end(), entry.unitPositions.end() - static_cast<std::ptrdiff_t>(suffix),
                    entry.unitPositions.end());
        entry.unitPositions = std::move(unit);
        entry.points = points;
    }

    const double worldSize = static_cast<double>(geometry.currentWorldSize());
    const ViewSize size = geometry.viewSize();
    const double dx = center.x - size.width / 2;
    const double dy = center.y - size.height / 2;
    positions.clear();
    positions.reserve(points.size());
    for (const ViewPoint& unit : entry.unitPositions)
        positions.push_back({unit.x * worldSize - dx, size.height - (unit.y * worldSize - dy)});
}

bool ProjectedPointCache::screenPositionsOfRanges(const GPSItem& item, ViewPoint centerPixels,
                                                  const MapViewGeometry& geometry,
                                                  const std::vector<IndexRange>& ranges,
                                                  std::vector<ViewPoint>& positions) const {
    auto it = m_entries.find(&item);
    const std::size_t count = item.itemPoints().size();
    if (it == m_entries.end() || it->second.unitPositions.size() != count)
        return false;
    positions.resize(count);
    const std::vector<ViewPoint>& unit = it->second.unitPositions;
    const double worldSize = static_cast<double>(geometry.currentWorldSize());
    const ViewSize size = geometry.viewSize();
    const double dx = centerPixels.x - size.width / 2;
    const double dy = centerPixels.y - size.height / 2;
    for (const IndexRange& range : ranges)
        for (std::uint64_t i = range.location; i <= range.end() && i < count; ++i)
            positions[i] = {unit[i].x * worldSize - dx, size.height - (unit[i].y * worldSize - dy)};
    return true;
}

bool ProjectedPointCache::isCurrent(const GPSItem& item) const {
    auto it = m_entries.find(&item);
    return it != m_entries.end() && samePoints(it->second.points, item.itemPoints());
}

void ProjectedPointCache::retainOnly(const ItemList& items) {
    std::unordered_set<const GPSItem*> kept;
    for (const auto& item : items)
        kept.insert(item.get());
    std::erase_if(m_entries, [&](const auto& entry) { return !kept.contains(entry.first); });
}

} // namespace wend
