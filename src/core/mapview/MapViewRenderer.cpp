#include "core/mapview/MapViewRenderer.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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

ViewPoint MapViewRenderer::offsetFrom(WorldPoint center, const MapViewGeometry& geometry) {
    const ViewPoint built = MapViewGeometry::projectToWorldPixels(
        center.lon, center.lat, static_cast<double>(geometry.currentWorldSize()));
    const ViewPoint now = geometry.centerPositionInPixels();
    // View coordinates grow upwards, screen coordinates downwards.
    return {built.x - now.x, now.y - built.y};
}

ViewPoint MapViewRenderer::currentOffset(const MapViewGeometry& geometry) const {
    return offsetFrom(m_builtCenter, geometry);
}

bool MapViewRenderer::holdsView(WorldPoint center, const MapViewGeometry& geometry) const {
    const ViewPoint offset = offsetFrom(center, geometry);
    const double margin = cullMargin(m_builtViewSize);
    return std::fabs(offset.x) <= margin && std::fabs(offset.y) <= margin;
}

bool MapViewRenderer::builtForSameView(const ItemList& items, const MapViewGeometry& geometry) const {
    return m_valid && geometry.zoomLevel() == m_builtZoomLevel &&
           geometry.viewSize() == m_builtViewSize && items.size() == m_itemStates.size();
}

bool MapViewRenderer::anyItemChanged(const ItemList& items) const {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (itemChange(m_itemStates[i], items[i]) != ItemChange::None)
            return true;
    return false;
}

bool MapViewRenderer::onlyCentreMoved(const ItemList& items, const MapViewGeometry& geometry) const {
    return builtForSameView(items, geometry) && !m_checkPoints && !anyItemChanged(items);
}

bool MapViewRenderer::needsFullRecache(const ItemList& items, const MapViewGeometry& geometry) const {
    if (!builtForSameView(items, geometry))
        return true;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (itemChange(m_itemStates[i], items[i]) == ItemChange::Everything)
            return true;
    return !holdsView(m_builtCenter, geometry);
}

MapViewRenderer::ItemChange MapViewRenderer::itemChange(const ItemState& state,
                                                        const GPSItemPtr& item) const {
    if (item != state.item)
        return ItemChange::Everything;
    if (!item)
        return ItemChange::None;
    if (item->itemPoints().size() != state.pointCount || item->itemType() != state.itemType)
        return ItemChange::Everything;
    if (state.stale || movedRangesOf(item.get()) != state.moved)
        return ItemChange::Cache;
    if (!(item->itemSelection() == state.selection))
        return ItemChange::Selection;
    return ItemChange::None;
}

bool MapViewRenderer::needsRecache(const ItemList& items, const MapViewGeometry& geometry) const {
    return m_checkPoints || needsFullRecache(items, geometry) || anyItemChanged(items) ||
           m_ahead.finished();
}

void MapViewRenderer::invalidateItem(const GPSItem* item) {
    m_ahead.cancel();
    m_projectedPoints.forget(item);
    for (ItemState& state : m_itemStates)
        if (state.item.get() == item)
            state.stale = true;
}

std::vector<IndexRange> MapViewRenderer::movedRangesOf(const GPSItem* item) const {
    if (!m_movePreview)
        return {};
    const std::vector<IndexRange>* ranges = m_movePreview->rangesFor(item);
    return ranges ? *ranges : std::vector<IndexRange>{};
}

std::unique_ptr<GPSViewDrawingCache> MapViewRenderer::buildCache(const GPSItemPtr& item,
                                                                 const MapViewGeometry& geometry,
                                                                 const std::vector<IndexRange>& moved) {
    const ProjectedPointCache::Entry& entry =
        m_projectedPoints.currentEntry(*item, static_cast<double>(geometry.currentWorldSize()));
    return GPSViewDrawingCache::fromProjected(GPSViewDrawingCache::Source::of(item), entry,
                                              ScreenTransform(geometry, builtCenterPixels(geometry)),
                                              m_builtCenter, m_cullRegion, moved, m_positionsBuffer);
}

bool MapViewRenderer::takeBuildAhead(const ItemList& items, const MapViewGeometry& geometry) {
    if (!m_ahead.underWay())
        return false;
    // Anything but a move of the centre makes the build stale, and what brings the caches up
    // to date may change the entries it reads.
    if (!onlyCentreMoved(items, geometry)) {
        m_ahead.cancel();
        return false;
    }
    // While the current caches hold the view, a build under way is left to finish; once they
    // do not, it is waited for only if its own caches will.
    if (!m_ahead.finished() && !needsFullRecache(items, geometry))
        return false;
    const WorldPoint center = m_ahead.center();
    if (!holdsView(center, geometry)) {
        m_ahead.cancel();
        return false;
    }
    m_cachedDrawingData = m_ahead.take();
    m_builtCenter = center;
    ++m_pathsGeneration;
    return true;
}

void MapViewRenderer::startBuildAhead(const MapViewGeometry& geometry) {
    const ViewPoint now = geometry.centerPositionInPixels();
    const ViewPoint move{now.x - m_lastCenterPixels.x, now.y - m_lastCenterPixels.y};
    const bool sameZoom = geometry.zoomLevel() == m_lastZoomLevel;
    m_lastCenterPixels = now;
    m_lastZoomLevel = geometry.zoomLevel();
    const double moved = std::max(std::fabs(move.x), std::fabs(move.y));
    if (!sameZoom || moved == 0 || m_ahead.underWay() || m_movePreview || !m_valid ||
        m_cachedDrawingData.empty())
        return;
    const ViewPoint built = builtCenterPixels(geometry);
    const ViewPoint away{now.x - built.x, now.y - built.y};
    const double margin = cullMargin(m_builtViewSize);
    if (std::max(std::fabs(away.x), std::fabs(away.y)) < margin / 3 || away.x * move.x + away.y * move.y <= 0)
        return;
    const double reach = margin / 2 / moved;
    const double worldSize = static_cast<double>(geometry.currentWorldSize());
    // Placed as a build for the wrapped centre would place it, so the caches move with it.
    const WorldPoint target =
        MapViewGeometry::unprojectWorldPixels({now.x + move.x * reach, now.y + move.y * reach}, worldSize);
    DrawingCacheBuildAhead::Request request{
        {}, {}, ScreenTransform(geometry, MapViewGeometry::projectToWorldPixels(target.lon, target.lat, worldSize)),
        target, m_cullRegion};
    for (const ItemState& state : m_itemStates) {
        if (state.cache < 0)
            continue;
        const ProjectedPointCache::Entry* entry = m_projectedPoints.entryOf(state.item.get());
        if (!entry)
            return;
        request.sources.push_back({state.item, state.selection, state.itemType, state.pointCount});
        request.entries.push_back(entry);
    }
    m_ahead.start(std::move(request));
}

void MapViewRenderer::recacheTrackDrawingData(const ItemList& items,
                                              const MapViewGeometry& geometry) {
    m_ahead.cancel();
    m_cachedDrawingData.clear();
    m_itemStates.clear();
    m_builtZoomLevel = geometry.zoomLevel();
    m_builtViewSize = geometry.viewSize();
    m_builtCenter = geometry.center();

    const auto [firstCopy, lastCopy] = worldCopies(m_builtViewSize, geometry.currentWorldSize());
    m_cullRegion = ViewCullRegion(
        ViewRect{0, 0, m_builtViewSize.width, m_builtViewSize.height}.grownBy(
            cullMargin(m_builtViewSize) + kStrokePadding),
        static_cast<double>(geometry.currentWorldSize()), firstCopy, lastCopy);

    for (const auto& item : items) {
        ItemState state;
        state.item = item;
        if (item) {
            state.selection = item->itemSelection();
            state.pointCount = item->itemPoints().size();
            state.itemType = item->itemType();
            state.moved = movedRangesOf(item.get());
            if (state.pointCount > 0 && state.itemType != GPSItemType::Waypoint) {
                state.cache = static_cast<std::ptrdiff_t>(m_cachedDrawingData.size());
                m_cachedDrawingData.push_back(buildCache(item, geometry, state.moved));
            }
        }
        m_itemStates.push_back(std::move(state));
    }
    m_projectedPoints.retainOnly(items);
    m_valid = true;
    m_checkPoints = false;
    ++m_pathsGeneration;
}

void MapViewRenderer::updateChangedItems(const ItemList& items, const MapViewGeometry& geometry) {
    if (m_checkPoints) {
        for (ItemState& state : m_itemStates)
            if (state.cache >= 0 && !m_projectedPoints.isCurrent(*state.item))
                state.stale = true;
        m_checkPoints = false;
    }
    // The caches stay in the screen coordinates of their build: a rebuilt one is made as if
    // the view still showed the centre of that build.
    for (std::size_t i = 0; i < items.size(); ++i) {
        ItemState& state = m_itemStates[i];
        const ItemChange change = itemChange(state, items[i]);
        if (change == ItemChange::None)
            continue;
        if (state.cache < 0) { // a waypoint: drawn afresh every frame
            state.stale = false;
            state.selection = items[i]->itemSelection();
            state.moved = movedRangesOf(items[i].get());
            continue;
        }
        auto& cache = m_cachedDrawingData[static_cast<std::size_t>(state.cache)];
        if (change == ItemChange::Selection && state.moved.empty() &&
            m_projectedPoints.screenPositionsOfRanges(*items[i], builtCenterPixels(geometry), geometry,
                                                      items[i]->itemSelection().ranges(),
                                                      m_positionsBuffer)) {
            cache->updateSelection(m_positionsBuffer, m_cullRegion);
        } else {
            state.moved = movedRangesOf(items[i].get());
            cache = buildCache(items[i], geometry, state.moved);
            ++m_pathsGeneration;
        }
        state.selection = items[i]->itemSelection();
        state.stale = false;
    }
}

ViewPoint MapViewRenderer::builtCenterPixels(const MapViewGeometry& geometry) const {
    return MapViewGeometry::projectToWorldPixels(m_builtCenter.lon, m_builtCenter.lat,
                                                 static_cast<double>(geometry.currentWorldSize()));
}

ViewPoint MapViewRenderer::shownScreenPoint(const GPSItem& item, std::size_t index,
                                            const MapViewGeometry& geometry) const {
    const GPSPoint& point = *item.itemPoints()[index];
    if (m_movePreview)
        if (const auto* ranges = m_movePreview->rangesFor(&item))
            for (const IndexRange& range : *ranges)
                if (index >= range.location && index <= range.end())
                    return geometry.transformWorldToScreen(m_movePreview->movedPosition(point));
    return geometry.transformWorldToScreen({point.longitude(), point.latitude()});
}

void MapViewRenderer::placeConnectors(const MapViewGeometry& geometry) {
    m_connectors.assign(m_cachedDrawingData.size(), {});
    for (std::size_t c = 0; c < m_cachedDrawingData.size(); ++c) {
        const GPSViewDrawingCache& cache = *m_cachedDrawingData[c];
        const GPSItem& item = *cache.item();
        const std::size_t count = item.itemPoints().size();
        const Selection& selection = item.itemSelection();
        auto join = [&](std::size_t from) {
            const ViewPoint a = shownScreenPoint(item, from, geometry);
            const ViewPoint b = shownScreenPoint(item, from + 1, geometry);
            if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y))
                return;
            m_connectors[c].first.moveTo(a);
            m_connectors[c].first.lineTo(b);
            // A segment is selected when one selected stretch holds both its points.
            for (const IndexRange& range : selection.ranges())
                if (range.location <= from && range.end() >= from + 1) {
                    m_connectors[c].second.moveTo(a);
                    m_connectors[c].second.lineTo(b);
                    break;
                }
        };
        for (const IndexRange& range : cache.movedRanges()) {
            if (range.location > 0 && range.location < count)
                join(range.location - 1);
            if (range.end() + 1 < count)
                join(range.end());
        }
    }
}

MapFrame MapViewRenderer::prepareFrame(const ItemList& items, const MapViewGeometry& geometry,
                                       const UnitFormatter& formatter) {
    const std::uint64_t pathsBefore = m_pathsGeneration;
    // Caches built ahead for another centre look the same wherever they overlap.
    bool sameLook = takeBuildAhead(items, geometry);
    if (needsFullRecache(items, geometry)) {
        sameLook = onlyCentreMoved(items, geometry);
        recacheTrackDrawingData(items, geometry);
    } else {
        updateChangedItems(items, geometry);
    }
    if (m_pathsGeneration != pathsBefore && !sameLook)
        ++m_outlinesGeneration;
    placeConnectors(geometry);

    MapFrame frame;
    const ViewSize size = geometry.viewSize();
    const double worldSize = static_cast<double>(geometry.currentWorldSize());
    const auto [firstCopy, lastCopy] = worldCopies(size, geometry.currentWorldSize());
    const ViewPoint shift = currentOffset(geometry);
    const ViewRect screen = ViewRect{0, 0, size.width, size.height}.grownBy(kStrokePadding);

    // The outlines (and arrows kept with them) of every item in the region the caches hold, so
    // a painter may stroke them ahead of a pan; the rest only where they can show.
    frame.outlinesExtent = ViewRect{shift.x, shift.y, m_builtViewSize.width, m_builtViewSize.height}
                               .grownBy(cullMargin(m_builtViewSize));
    const ViewRect held = frame.outlinesExtent.grownBy(kStrokePadding);
    auto addStroke = [&](const ViewPath& path, ViewPoint offset, RGBAColor color, double width,
                         const ViewRect& within) {
        if (path.isEmpty())
            return;
        ViewRect bounds = path.bounds();
        bounds.x += offset.x;
        bounds.y += offset.y;
        if (rectsMeet(bounds, within))
            frame.strokes.push_back({&path, offset, color, width});
    };
    // How far a cache's moved stretches are shown from where they were built: the move of
    // their first point on the screen now.
    std::vector<ViewPoint> moves(m_cachedDrawingData.size());
    std::vector<RGBAColor> outlineColors;
    outlineColors.reserve(m_cachedDrawingData.size());
    for (const auto& cache : m_cachedDrawingData)
        outlineColors.push_back(withAlpha(colorOf(*cache->item()).rgba(), opacityForItem(*cache->item())));
    if (outlineColors != m_outlineColors) {
        m_outlineColors = std::move(outlineColors);
        ++m_outlinesGeneration;
    }
    for (std::size_t c = 0; c < m_cachedDrawingData.size(); ++c) {
        const GPSViewDrawingCache& cache = *m_cachedDrawingData[c];
        if (cache.movedRanges().empty())
            continue;
        const std::size_t first = static_cast<std::size_t>(cache.movedRanges().front().location);
        const GPSPoint& point = *cache.item()->itemPoints()[first];
        const ViewPoint from = geometry.transformWorldToScreen({point.longitude(), point.latitude()});
        const ViewPoint to = shownScreenPoint(*cache.item(), first, geometry);
        moves[c] = {to.x - from.x, to.y - from.y};
    }

    // Every item's outline first (the same paths from frame to frame while the caches stay),
    // then what a move preview shows moved, then every selection highlight and arrow above
    // all base lines.
    enum class Pass { Outlines, Moved, Highlights };
    std::size_t arrowStrokes = 0;
    for (Pass pass : {Pass::Outlines, Pass::Moved, Pass::Highlights}) {
        for (std::int64_t copy = firstCopy; copy <= lastCopy; ++copy) {
            const double copyShift = static_cast<double>(copy) * worldSize;
            const ViewPoint offset{shift.x + copyShift, shift.y};
            for (std::size_t c = 0; c < m_cachedDrawingData.size(); ++c) {
                const GPSViewDrawingCache& cache = *m_cachedDrawingData[c];
                const GPSItem& item = *cache.item();
                const double opacity = opacityForItem(item);
                if (opacity <= 0)
                    continue;
                const ItemColor color = colorOf(item);
                const ViewPoint movedOffset{offset.x + moves[c].x, offset.y + moves[c].y};
                const ViewPoint connectorOffset{copyShift, 0};
                const std::pair<ViewPath, ViewPath>& connectors = m_connectors[c];
                if (pass != Pass::Highlights) {
                    const RGBAColor outline = withAlpha(color.shadowed(kBaseOutlineShadow), opacity);
                    const RGBAColor inner = withAlpha(color.rgba(), opacity);
                    auto both = [&](const ViewPath& path, ViewPoint at, const ViewRect& within) {
                        addStroke(path, at, outline, kBaseOutlineWidth, within);
                        addStroke(path, at, inner, kBaseWidth, within);
                    };
                    if (pass == Pass::Outlines) {
                        both(cache.completePath(), offset, held);
                    } else {
                        both(cache.movedPath(), movedOffset, screen);
                        both(connectors.first, connectorOffset, screen);
                    }
                } else {
                    const ItemColor selectionColor = item.itemSelectionColor();
                    const RGBAColor outline =
                        withAlpha(selectionColor.shadowed(kSelectionOutlineShadow), opacity);
                    const RGBAColor inner = withAlpha(selectionColor.rgba(), opacity);
                    for (const auto& [path, at] : {std::pair{&cache.selectedPath(), offset},
                                                   std::pair{&cache.movedSelectedPath(), movedOffset},
                                                   std::pair{&connectors.second, connectorOffset}}) {
                        addStroke(*path, at, outline, kSelectionOutlineWidth, screen);
                        addStroke(*path, at, inner, kSelectionWidth, screen);
                    }
                    const std::size_t before = frame.strokes.size();
                    addStroke(cache.arrowPath(), offset,
                              withAlpha(color.shadowed(kArrowShadow), opacity), kArrowWidth, held);
                    arrowStrokes += frame.strokes.size() - before;
                }
            }
        }
        if (pass == Pass::Outlines)
            frame.cacheableStrokes = frame.strokes.size();
    }
    // With nothing drawn between the outlines and the arrows, the arrows are kept with them.
    const bool arrowsKept = arrowStrokes == frame.strokes.size() - frame.cacheableStrokes;
    if (arrowsKept)
        frame.cacheableStrokes = frame.strokes.size();
    if (arrowsKept != m_arrowsKept) {
        m_arrowsKept = arrowsKept;
        ++m_outlinesGeneration;
    }
    frame.pathsGeneration = m_pathsGeneration;
    frame.outlinesGeneration = m_outlinesGeneration;
    const ViewPoint centre = geometry.centerPositionInPixels();
    frame.viewPosition = {centre.x - size.width / 2, -centre.y - size.height / 2};
    frame.panning = geometry.beingDragged();

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
            ViewPoint p = shownScreenPoint(*item, 0, geometry);
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
    startBuildAhead(geometry);
    return frame;
}

} // namespace wend
