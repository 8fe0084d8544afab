#include "core/mapview/GPSViewDrawingCache.h"

#include <algorithm>
#include <cmath>

namespace wend {

namespace {
constexpr double kMinPointSpacing2 =
    GPSViewDrawingCache::kMinPointSpacing * GPSViewDrawingCache::kMinPointSpacing;
constexpr double kArrowSpacing2 =
    GPSViewDrawingCache::kArrowSpacing * GPSViewDrawingCache::kArrowSpacing;

bool isFinite(ViewPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

double distance2(ViewPoint a, ViewPoint b) {
    const double dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

// One stretch, points first...last inclusive. Points without a position are passed over as
// if the item did not hold them. A chunk of points that the skips pass over ends the open
// polyline as a segment outside the region would, and leaves its last point as the previous.
void appendStretch(ViewPath& path, const std::vector<ViewPoint>& positions, std::size_t first,
                   std::size_t last, const ViewCullRegion& region, const PointChunks::Skips* skips) {
    if (first == last) {
        if (isFinite(positions[first]) && region.containsPoint(positions[first]))
            path.addDot(positions[first]);
        return;
    }
    bool open = false;      // a polyline is being extended
    bool prevDrawn = false; // the previous point ends the open polyline
    ViewPoint lastDrawn;
    ViewPoint prev = positions[first];
    bool havePrev = isFinite(prev);
    constexpr std::size_t chunkPoints = PointChunks::kPoints;
    for (std::size_t j = first + 1; j <= last; ++j) {
        if (skips && j % chunkPoints == 0 && j + chunkPoints - 1 <= last && skips->skips(j / chunkPoints)) {
            if (const std::ptrdiff_t end = skips->chunks->lastPositioned(j / chunkPoints); end >= 0) {
                if (havePrev && open && !prevDrawn)
                    path.lineTo(prev);
                open = false;
                prev = positions[static_cast<std::size_t>(end)];
                havePrev = true;
            }
            j += chunkPoints - 1;
            continue;
        }
        const ViewPoint p = positions[j];
        if (!isFinite(p))
            continue;
        if (!havePrev) {
            prev = p;
            havePrev = true;
            continue;
        }
        ViewPoint a = prev, b = p;
        if (region.holdsSegment(a, b) ||
            (region.mayContainSegment(a, b) && region.clipSegment(a, b))) {
            if (!open || !(a == prev)) {
                if (open && !prevDrawn)
                    path.lineTo(prev);
                path.moveTo(a);
                lastDrawn = a;
                open = true;
            }
            if (!(b == p)) {
                // Leaves the region: the polyline ends at the region's edge.
                path.lineTo(b);
                open = false;
            } else if (j == last || distance2(p, lastDrawn) >= kMinPointSpacing2) {
                path.lineTo(p);
                lastDrawn = p;
                prevDrawn = true;
            } else {
                prevDrawn = false;
            }
        } else {
            if (open && !prevDrawn)
                path.lineTo(prev);
            open = false;
        }
        prev = p;
    }
    // The stretch's last points may have had no position: end where the track was last seen.
    if (open && !prevDrawn)
        path.lineTo(prev);
}
} // namespace

ViewPath GPSViewDrawingCache::bezierPathForItemSelection(const Selection& selection,
                                                         const std::vector<ViewPoint>& positions,
                                                         const ViewCullRegion& region) {
    return pathForRanges(selection.ranges(), positions, region);
}

ViewPath GPSViewDrawingCache::pathForRanges(const std::vector<IndexRange>& ranges,
                                            const std::vector<ViewPoint>& positions,
                                            const ViewCullRegion& region) {
    return pathForRanges(ranges, positions, region, nullptr);
}

ViewPath GPSViewDrawingCache::pathForRanges(const std::vector<IndexRange>& ranges,
                                            const std::vector<ViewPoint>& positions,
                                            const ViewCullRegion& region, const PointChunks::Skips* skips) {
    ViewPath path;
    if (positions.empty())
        return path;
    const std::uint64_t lastIndex = positions.size() - 1;
    for (const IndexRange& range : ranges) {
        if (range.location > lastIndex)
            break;
        appendStretch(path, positions, range.location, std::min(range.end(), lastIndex), region, skips);
    }
    return path;
}

std::vector<IndexRange> GPSViewDrawingCache::complementOfRanges(const std::vector<IndexRange>& ranges,
                                                                std::size_t count) {
    std::vector<IndexRange> result;
    std::uint64_t next = 0;
    for (const IndexRange& range : ranges) {
        if (range.location > next)
            result.push_back({next, range.location - 1 - next});
        next = std::max(next, range.end() + 1);
    }
    if (next < count)
        result.push_back({next, count - 1 - next});
    return result;
}

std::vector<IndexRange> GPSViewDrawingCache::intersectionOfRanges(const std::vector<IndexRange>& a,
                                                                  const std::vector<IndexRange>& b) {
    std::vector<IndexRange> result;
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const std::uint64_t first = std::max(a[i].location, b[j].location);
        const std::uint64_t last = std::min(a[i].end(), b[j].end());
        if (first <= last)
            result.push_back({first, last - first});
        if (a[i].end() < b[j].end())
            ++i;
        else
            ++j;
    }
    return result;
}

ViewPath GPSViewDrawingCache::arrowPathForPositions(const std::vector<ViewPoint>& positions,
                                                    const ViewCullRegion& region) {
    ViewPath path;
    auto it = std::find_if(positions.begin(), positions.end(), isFinite);
    if (it == positions.end())
        return path;
    ViewPoint anchor = *it;
    for (++it; it != positions.end(); ++it) {
        const ViewPoint p = *it;
        if (!isFinite(p))
            continue;
        const double d2 = distance2(p, anchor);
        if (d2 < kArrowSpacing2)
            continue;
        if (region.containsPoint(p)) {
            const double length = std::sqrt(d2);
            path.addArrow(p, {(p.x - anchor.x) / length, (p.y - anchor.y) / length});
        }
        anchor = p;
    }
    return path;
}

namespace {
std::vector<ViewPoint> screenPositions(const GPSItem* item, const MapViewGeometry& geometry) {
    std::vector<ViewPoint> positions;
    if (!item)
        return positions;
    positions.reserve(item->itemPoints().size());
    for (const auto& point : item->itemPoints())
        positions.push_back(geometry.screenPointFromViewPoint(
            geometry.transformWorldToView(point->longitude(), point->latitude())));
    return positions;
}
} // namespace

GPSViewDrawingCache::GPSViewDrawingCache(GPSItemPtr item, const MapViewGeometry& geometry,
                                         const ViewCullRegion& region)
    : GPSViewDrawingCache(item, geometry, region, screenPositions(item.get(), geometry)) {}

GPSViewDrawingCache::GPSViewDrawingCache(GPSItemPtr item, const MapViewGeometry& geometry,
                                         const ViewCullRegion& region,
                                         const std::vector<ViewPoint>& positions,
                                         const std::vector<IndexRange>& moved)
    : GPSViewDrawingCache(Source::of(std::move(item)), geometry.center(), region, positions, moved, nullptr,
                          std::nullopt) {}

GPSViewDrawingCache::Source GPSViewDrawingCache::Source::of(GPSItemPtr item) {
    Source source;
    if (item) {
        source.selection = item->itemSelection();
        source.itemType = item->itemType();
        source.pointCount = item->itemPoints().size();
    }
    source.item = std::move(item);
    return source;
}

GPSViewDrawingCache::GPSViewDrawingCache(Source source, WorldPoint center, const ViewCullRegion& region,
                                         const std::vector<ViewPoint>& positions,
                                         const std::vector<IndexRange>& moved,
                                         const PointChunks::Skips* skips, std::optional<ViewPath> arrows)
    : m_item(std::move(source.item)), m_cachedCenter(center), m_movedRanges(moved),
      m_cachedSelection(std::move(source.selection)), m_cachedPointCount(source.pointCount),
      m_cachedItemType(source.itemType) {
    if (!m_item)
        return;
    if (positions.empty() || positions.size() != m_cachedPointCount)
        return;
    const auto& selected = m_cachedSelection.ranges();
    const auto still = complementOfRanges(moved, m_cachedPointCount);
    m_completePath = pathForRanges(still, positions, region, skips);
    m_selectedPath = pathForRanges(intersectionOfRanges(still, selected), positions, region, skips);
    if (moved.empty()) {
        m_arrowPath = arrows ? std::move(*arrows) : arrowPathForPositions(positions, region);
        return;
    }
    m_movedPath = pathForRanges(moved, positions, region, skips);
    m_movedSelectedPath = pathForRanges(intersectionOfRanges(moved, selected), positions, region, skips);
}

std::unique_ptr<GPSViewDrawingCache>
GPSViewDrawingCache::fromProjected(Source source, const ProjectedPointCache::Entry& entry,
                                   const ScreenTransform& screen, WorldPoint center,
                                   const ViewCullRegion& region, const std::vector<IndexRange>& moved,
                                   std::vector<ViewPoint>& buffer) {
    // Only the chunks of points that may meet the region are placed and walked.
    PointChunks::Skips skips = entry.chunks.outsideOf(region, screen);
    skips.keepEnds(moved);
    skips.keepEnds(complementOfRanges(moved, source.pointCount));
    skips.keepEnds(source.selection.ranges());
    ProjectedPointCache::screenPositions(entry, screen, buffer, skips);
    std::optional<ViewPath> arrows;
    if (moved.empty())
        arrows = ProjectedPointCache::arrowPath(entry, screen, region, skips);
    return std::make_unique<GPSViewDrawingCache>(std::move(source), center, region, buffer, moved, &skips,
                                                 std::move(arrows));
}

void GPSViewDrawingCache::updateSelection(const std::vector<ViewPoint>& positions,
                                          const ViewCullRegion& region) {
    m_cachedSelection = m_item->itemSelection();
    m_selectedPath = bezierPathForItemSelection(m_cachedSelection, positions, region);
}

} // namespace wend
