#include "core/mapview/ProjectedPointCache.h"

#include "core/mapview/ScreenTransform.h"

#include <algorithm>
#include <cmath>
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
    const Entry& entry = entryWithCurrentPoints(item);
    const ScreenTransform screen(geometry, geometry.centerPositionInPixels());
    positions.clear();
    positions.reserve(entry.unitPositions.size());
    for (const ViewPoint& unit : entry.unitPositions)
        positions.push_back(screen(unit));
}

const ProjectedPointCache::Entry& ProjectedPointCache::currentEntry(const GPSItem& item, double worldSize) {
    Entry& entry = entryWithCurrentPoints(item);
    entry.arrows.place(entry.unitPositions, worldSize);
    return entry;
}

const ProjectedPointCache::Entry* ProjectedPointCache::entryOf(const GPSItem* item) const {
    auto it = m_entries.find(item);
    return it == m_entries.end() ? nullptr : &it->second;
}

ProjectedPointCache::Entry& ProjectedPointCache::entryWithCurrentPoints(const GPSItem& item) {
    const PointList& points = item.itemPoints();
    Entry& entry = m_entries[&item];
    if (samePoints(entry.points, points))
        return entry;
    // Only the stretch between the points both lists begin and end with is projected again:
    // an edit of a few points of a long track costs a few logarithms.
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
    const bool sameCount = old.size() == points.size();
    entry.unitPositions = std::move(unit);
    entry.points = points;
    entry.chunks.update(entry.unitPositions, prefix, sameCount ? points.size() - suffix : points.size());
    entry.arrows.pointsChanged(prefix);
    return entry;
}

void ProjectedPointCache::screenPositions(const Entry& entry, const ScreenTransform& screen,
                                          std::vector<ViewPoint>& positions,
                                          const PointChunks::Skips& skips) {
    const std::vector<ViewPoint>& unit = entry.unitPositions;
    positions.resize(unit.size());
    for (std::size_t c = 0; c < entry.chunks.count(); ++c) {
        if (skips.skips(c)) {
            if (const std::ptrdiff_t last = entry.chunks.lastPositioned(c); last >= 0)
                positions[static_cast<std::size_t>(last)] = screen(unit[static_cast<std::size_t>(last)]);
            continue;
        }
        const std::size_t end = std::min((c + 1) * PointChunks::kPoints, unit.size());
        for (std::size_t i = c * PointChunks::kPoints; i < end; ++i)
            positions[i] = screen(unit[i]);
    }
}

ViewPath ProjectedPointCache::arrowPath(const Entry& entry, const ScreenTransform& screen,
                                        const ViewCullRegion& region, const PointChunks::Skips& skips) {
    const std::vector<std::uint32_t>& arrows = entry.arrows.points();
    const std::vector<ViewPoint>& unit = entry.unitPositions;
    ViewPath path;
    // An arrow stands on a point of its chunk, so none in a chunk passed over is in the region.
    for (std::size_t k = 0; k < arrows.size(); ++k) {
        const std::size_t chunk = arrows[k] / PointChunks::kPoints;
        if (skips.skips(chunk)) {
            k = static_cast<std::size_t>(std::lower_bound(arrows.begin() + static_cast<std::ptrdiff_t>(k), arrows.end(),
                                                          (chunk + 1) * PointChunks::kPoints) -
                                         arrows.begin()) - 1;
            continue;
        }
        const ViewPoint tip = screen(unit[arrows[k]]);
        if (!region.containsPoint(tip))
            continue;
        const ViewPoint anchor = screen(unit[entry.arrows.anchorOf(k)]);
        const double dx = tip.x - anchor.x, dy = tip.y - anchor.y;
        const double length = std::sqrt(dx * dx + dy * dy);
        path.addArrow(tip, {dx / length, dy / length});
    }
    return path;
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
    const ScreenTransform screen(geometry, centerPixels);
    for (const IndexRange& range : ranges)
        for (std::uint64_t i = range.location; i <= range.end() && i < count; ++i)
            positions[i] = screen(unit[i]);
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
