#include "core/mapview/MapViewRenderer.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace wend {

namespace {
constexpr double kBaseOutlineShadow = 0.5;
constexpr double kBaseOutlineWidth = 7;
constexpr double kBaseWidth = 4;
constexpr double kSelectionOutlineShadow = 0.65;
constexpr double kSelectionOutlineWidth = 10.5;
constexpr double kSelectionWidth = 6;
constexpr double kArrowShadow = 0.8;
constexpr double kArrowWidth = 1.25;
constexpr double kWaypointShadow = 0.45;
constexpr double kWaypointWidth = 11;
constexpr double kSelectedWaypointWidth = 13;
constexpr double kWaypointFillInset = 3;
constexpr double kNoNeighbour = 1e9;
constexpr double kNoWaypointDistance = 1e6;

ItemColor colorOf(const GPSItem& item) {
    // An item without colour reads as all-zero components, as its selection colour does.
    return item.itemColor().value_or(ItemColor{0, 0, 0, 0});
}

RGBAColor withAlpha(RGBAColor color, double alpha) {
    color.alpha = alpha;
    return color;
}

bool rectsMeet(ViewRect a, ViewRect b) {
    return a.x <= b.maxX() && b.x <= a.maxX() && a.y <= b.maxY() && b.y <= a.maxY();
}

bool isDrawnWaypoint(const GPSItemPtr& item) {
    return item && item->itemType() == GPSItemType::Waypoint && !item->itemPoints().empty();
}
} // namespace

double MapViewRenderer::opacityForItem(const GPSItem& item) {
    if (item.visible())
        return colorOf(item).alpha;
    if (item.temporarilyVisible())
        return kOpacityOfTemporarilyVisibleItem;
    return 0;
}

double MapViewRenderer::cullMargin(ViewSize viewSize) {
    return std::max({viewSize.width, viewSize.height, 256.0});
}

std::pair<std::int64_t, std::int64_t> MapViewRenderer::worldCopies(ViewSize viewSize,
                                                                   std::int64_t worldSize) {
    // A point lies within one world width plus half the view of the view's middle; the copies
    // must bring it from there onto the view, the margin and the padding.
    const double reach = viewSize.width / 2 + cullMargin(viewSize) + kStrokePadding;
    const auto m = static_cast<std::int64_t>(
        1 + std::floor(reach / static_cast<double>(std::max<std::int64_t>(worldSize, 1))));
    return {-m, m};
}

double MapViewRenderer::calcAvgDistBetweenWaypointsInRect(const ItemList& items,
                                                          const MapViewGeometry& geometry,
                                                          ViewRect rect) {
    std::vector<ViewPoint> inside;
    for (const auto& item : items) {
        if (!isDrawnWaypoint(item) || opacityForItem(*item) <= 0)
            continue;
        const GPSPoint& point = *item->itemPoints().front();
        const ViewPoint p = geometry.transformWorldToView(point.longitude(), point.latitude());
        if (rect.contains(p))
            inside.push_back(p);
    }
    // Nearest neighbours by a sweep over the positions sorted by x: the search around a
    // waypoint stops once the horizontal gap alone exceeds the best distance found.
    std::vector<std::size_t> order(inside.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return inside[a].x < inside[b].x; });
    std::vector<double> nearest(inside.size(), kNoNeighbour);
    for (std::size_t k = 0; k < order.size(); ++k) {
        const ViewPoint a = inside[order[k]];
        double best2 = kNoNeighbour * kNoNeighbour;
        for (std::size_t j = k + 1; j < order.size(); ++j) {
            const double dx = inside[order[j]].x - a.x;
            if (dx * dx >= best2)
                break;
            const double dy = inside[order[j]].y - a.y;
            best2 = std::min(best2, dx * dx + dy * dy);
        }
        for (std::size_t j = k; j-- > 0;) {
            const double dx = a.x - inside[order[j]].x;
            if (dx * dx >= best2)
                break;
            const double dy = inside[order[j]].y - a.y;
            best2 = std::min(best2, dx * dx + dy * dy);
        }
        nearest[order[k]] = std::sqrt(best2);
    }
    double sum = 0;
    std::uint64_t count = 0;
    for (double distance : nearest) {
        if (distance < 1e8) {
            sum += distance;
            ++count;
        }
    }
    return count > 0 ? sum / static_cast<double>(count) : kNoWaypointDistance;
}

ViewPoint MapViewRenderer::currentOffset(const MapViewGeometry& geometry) const {
    const ViewPoint built = MapViewGeometry::projectToWorldPixels(
        m_builtCenter.lon, m_builtCenter.lat, static_cast<double>(geometry.currentWorldSize()));
    const ViewPoint now = geometry.centerPositionInPixels();
    // View coordinates grow upwards, screen coordinates downwards.
    return {built.x - now.x, now.y - built.y};
}

bool MapViewRenderer::needsRecache(const ItemList& items, const MapViewGeometry& geometry) const {
    if (!m_valid || geometry.zoomLevel() != m_builtZoomLevel ||
        !(geometry.viewSize() == m_builtViewSize) || items.size() != m_itemStates.size())
        return true;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ItemState& state = m_itemStates[i];
        const GPSItemPtr& item = items[i];
        if (item != state.item)
            return true;
        if (item &&
            (item->itemPoints().size() != state.pointCount || item->itemType() != state.itemType ||
             !(item->itemSelection() == state.selection)))
            return true;
    }
    const ViewPoint offset = currentOffset(geometry);
    const double margin = cullMargin(m_builtViewSize);
    return std::fabs(offset.x) > margin || std::fabs(offset.y) > margin;
}

void MapViewRenderer::recacheTrackDrawingData(const ItemList& items,
                                              const MapViewGeometry& geometry) {
    // Unless invalidated, with the view where the caches were built, an item whose selection,
    // points and type stayed keeps its cache: a selection change costs the items it changed.
    std::unordered_map<const GPSItem*, std::unique_ptr<GPSViewDrawingCache>> kept;
    if (m_valid && geometry.zoomLevel() == m_builtZoomLevel &&
        geometry.viewSize() == m_builtViewSize && geometry.center() == m_builtCenter) {
        for (auto& cache : m_cachedDrawingData)
            kept.emplace(cache->item().get(), std::move(cache));
        for (const ItemState& state : m_itemStates) {
            const auto found = kept.find(state.item.get());
            if (found != kept.end() &&
                (state.item->itemPoints().size() != state.pointCount ||
                 state.item->itemType() != state.itemType ||
                 !(state.item->itemSelection() == state.selection)))
                kept.erase(found);
        }
    }
    m_cachedDrawingData.clear();
    m_itemStates.clear();
    m_builtZoomLevel = geometry.zoomLevel();
    m_builtViewSize = geometry.viewSize();
    m_builtCenter = geometry.center();

    const double margin = cullMargin(m_builtViewSize) + kStrokePadding;
    const auto [firstCopy, lastCopy] = worldCopies(m_builtViewSize, geometry.currentWorldSize());
    m_cullRegion = ViewCullRegion(
        {-margin, -margin, m_builtViewSize.width + 2 * margin, m_builtViewSize.height + 2 * margin},
        static_cast<double>(geometry.currentWorldSize()), firstCopy, lastCopy);

    for (const auto& item : items) {
        ItemState state;
        state.item = item;
        if (item) {
            state.selection = item->itemSelection();
            state.pointCount = item->itemPoints().size();
            state.itemType = item->itemType();
            if (state.pointCount > 0 && state.itemType != GPSItemType::Waypoint) {
                if (auto found = kept.find(item.get()); found != kept.end()) {
                    m_cachedDrawingData.push_back(std::move(found->second));
                    kept.erase(found);
                } else {
                    m_projectedPoints.screenPositions(*item, geometry, m_positionsBuffer);
                    m_cachedDrawingData.push_back(std::make_unique<GPSViewDrawingCache>(
                        item, geometry, m_cullRegion, m_positionsBuffer));
                }
            }
        }
        m_itemStates.push_back(std::move(state));
    }
    m_projectedPoints.retainOnly(items);
    m_valid = true;
}

MapFrame MapViewRenderer::prepareFrame(const ItemList& items, const MapViewGeometry& geometry,
                                       const UnitFormatter& formatter) {
    if (needsRecache(items, geometry))
        recacheTrackDrawingData(items, geometry);

    MapFrame frame;
    const ViewSize size = geometry.viewSize();
    const double worldSize = static_cast<double>(geometry.currentWorldSize());
    const auto [firstCopy, lastCopy] = worldCopies(size, geometry.currentWorldSize());
    const ViewPoint shift = currentOffset(geometry);
    const ViewRect screen{-kStrokePadding, -kStrokePadding, size.width + 2 * kStrokePadding,
                          size.height + 2 * kStrokePadding};

    auto addStroke = [&](const ViewPath& path, ViewPoint offset, RGBAColor color, double width) {
        if (path.isEmpty())
            return;
        ViewRect bounds = path.bounds();
        bounds.x += offset.x;
        bounds.y += offset.y;
        if (rectsMeet(bounds, screen))
            frame.strokes.push_back({&path, offset, color, width});
    };

    for (int pass = 0; pass < 2; ++pass) {
        const bool basePass = pass == 0;
        for (std::int64_t copy = firstCopy; copy <= lastCopy; ++copy) {
            const ViewPoint offset{shift.x + static_cast<double>(copy) * worldSize, shift.y};
            for (const auto& cache : m_cachedDrawingData) {
                const GPSItem& item = *cache->item();
                const double opacity = opacityForItem(item);
                if (opacity <= 0)
                    continue;
                const ItemColor color = colorOf(item);
                if (basePass) {
                    addStroke(cache->completePath(), offset,
                              withAlpha(color.shadowed(kBaseOutlineShadow), opacity),
                              kBaseOutlineWidth);
                    addStroke(cache->completePath(), offset, withAlpha(color.rgba(), opacity),
                              kBaseWidth);
                } else {
                    const ItemColor selectionColor = item.itemSelectionColor();
                    addStroke(cache->selectedPath(), offset,
                              withAlpha(selectionColor.shadowed(kSelectionOutlineShadow), opacity),
                              kSelectionOutlineWidth);
                    addStroke(cache->selectedPath(), offset,
                              withAlpha(selectionColor.rgba(), opacity), kSelectionWidth);
                    addStroke(cache->arrowPath(), offset,
                              withAlpha(color.shadowed(kArrowShadow), opacity), kArrowWidth);
                }
            }
        }
    }

    // Waypoints are few enough to be placed afresh each frame.
    const bool drawLabels =
        calcAvgDistBetweenWaypointsInRect(items, geometry, {0, 0, size.width, size.height}) >
        kMinAverageWaypointDistanceForLabels;
    for (std::int64_t copy = firstCopy; copy <= lastCopy; ++copy) {
        for (const auto& item : items) {
            if (!isDrawnWaypoint(item))
                continue;
            const double opacity = opacityForItem(*item);
            if (opacity <= 0)
                continue;
            const GPSPoint& point = *item->itemPoints().front();
            ViewPoint p = geometry.transformWorldToScreen({point.longitude(), point.latitude()});
            p.x += static_cast<double>(copy) * worldSize;
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                continue;

            const bool selected = !item->itemSelection().isEmpty();
            const ItemColor color = selected ? item->itemSelectionColor() : colorOf(*item);
            const double width = selected ? kSelectedWaypointWidth : kWaypointWidth;
            if (screen.contains(p))
                frame.waypoints.push_back({p, withAlpha(color.shadowed(kWaypointShadow), opacity),
                                           width, withAlpha(color.rgba(), opacity),
                                           width - kWaypointFillInset});

            const ViewPoint origin{p.x + MapFrame::kLabelOffset, p.y};
            if (drawLabels && origin.x >= -kMaxLabelWidth && origin.x <= size.width &&
                origin.y >= -MapFrame::kLabelFontSize &&
                origin.y <= size.height + MapFrame::kLabelFontSize)
                frame.labels.push_back({origin, item->itemName()});
        }
    }

    frame.scaleBar = MapScaleBar::scaleBarForView(geometry, formatter);
    return frame;
}

} // namespace wend
