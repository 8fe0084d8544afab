#include "core/tools/EditPointTool.h"

#include "core/document/WendDocument.h"
#include "core/tools/ToolModifiers.h"

#include <algorithm>
#include <cmath>

namespace wend {

EditPointTool::EditPointTool() {
    setName("Edit Point Tool (P)");
    setUsage(kUsage);
}

bool EditPointTool::prepareForDrag(const ToolEvent& event, ToolContext& context) {
    // A point of an earlier drag must never follow this one.
    clearDragState();
    switch (event.modifiers & ~ToolModifiers::kPanMode) {
    case ToolModifiers::kNone:
    case ToolModifiers::kShift:
        addPoint(event, context);
        return true;
    case ToolModifiers::kCommand:
        movePoint(event, context);
        return true;
    case ToolModifiers::kOption:
        deletePoint(event, context);
        return false;
    default:
        return true;
    }
}

GPSItemPtr EditPointTool::trackToEdit(ToolContext& context, std::uint32_t modifiers,
                                      WorldPoint location) {
    modifiers &= ~ToolModifiers::kPanMode;
    if (modifiers == ToolModifiers::kCommand)
        return context.closestItemToPoint(location, true);
    if (modifiers == ToolModifiers::kNone)
        return context.closestItemToPoint(location, false);
    const auto probe = GPSPoint::pointWithLongitude(location.lon, location.lat, GPSPoint::NaN, std::nullopt);
    GPSItemPtr best;
    double bestDistance = 0;
    for (const auto& item : context.document().permanentItems()) {
        if (item->itemType() == GPSItemType::Waypoint || item->itemPoints().empty())
            continue;
        const double distance = std::min(probe->distanceFromPoint(item->itemPoints().front().get()),
                                         probe->distanceFromPoint(item->itemPoints().back().get()));
        if (!best || distance < bestDistance) {
            best = item;
            bestDistance = distance;
        }
    }
    return best;
}

void EditPointTool::addPoint(const ToolEvent& event, ToolContext& context) {
    const WorldPoint location = event.worldPoint;
    const bool extending = (event.modifiers & ToolModifiers::kShift) != 0;
    GPSItemPtr item = trackToEdit(context, event.modifiers, location);
    if (!item)
        return;
    auto point = GPSPoint::pointWithLongitude(location.lon, location.lat, GPSPoint::NaN, std::nullopt);
    PointList points = item->itemPoints();
    std::size_t index = points.size();
    if (extending) {
        if (points.size() > 1 && point->distanceFromPoint(points.back().get()) >
                                     point->distanceFromPoint(points.front().get()))
            index = 0;
    } else if (points.size() == 1) {
        return; // a single point has no segment to insert into
    } else if (points.size() > 1) {
        index = static_cast<std::size_t>(context.closestLineSegment(*item, location)) + 1;
        if (index > points.size())
            return;
    }
    points.insert(points.begin() + static_cast<std::ptrdiff_t>(index), point);
    item->setItemPoints(std::move(points));
    context.undoManager().setActionName("Add Point");
    m_trackToExtend = item;
    m_newGPSPoint = point;
    m_newPointIndex = index;
    m_pointOrigin = m_pointLocation = {point->longitude(), point->latitude()};
    m_pointFollowsPointer = true;
}

void EditPointTool::movePoint(const ToolEvent& event, ToolContext& context) {
    GPSItemPtr item = trackToEdit(context, event.modifiers, event.worldPoint);
    if (!item)
        return;
    const std::uint64_t index = context.indexOfClosestPoint(*item, event.worldPoint);
    if (index >= item->itemPoints().size())
        return;
    PointList points = item->itemPoints();
    auto copy = points[index]->copy();
    points[index] = copy;
    item->setItemPoints(std::move(points));
    context.undoManager().setActionName("Move Point");
    m_trackToExtend = item;
    m_newGPSPoint = copy;
    m_newPointIndex = static_cast<std::size_t>(index);
    m_pointOrigin = m_pointLocation = {copy->longitude(), copy->latitude()};
    m_pointFollowsPointer = true;
}

void EditPointTool::updateDrag(const ToolEvent& event, ToolContext& context) {
    if (!m_pointFollowsPointer)
        return;
    m_pointLocation = event.worldPoint;
    MovePreview preview;
    preview.items.push_back({m_trackToExtend, {{m_newPointIndex, 0}}});
    preview.lonOffset = m_pointLocation.lon - m_pointOrigin.lon;
    preview.latOffset = m_pointLocation.lat - m_pointOrigin.lat;
    context.host().setMovePreview(std::move(preview));
}

void EditPointTool::finalizeDrag(std::uint32_t modifiers, ToolContext& context) {
    if (m_pointFollowsPointer) {
        context.host().setMovePreview(std::nullopt);
        // The point was made by this drag and is in no other list: it is set in place.
        m_newGPSPoint->setLongitude(m_pointLocation.lon);
        m_newGPSPoint->setLatitude(m_pointLocation.lat);
        const PointList& points = m_trackToExtend->itemPoints();
        if (m_newPointIndex < points.size() && points[m_newPointIndex] == m_newGPSPoint) {
            const std::uint32_t key = modifiers & ~ToolModifiers::kPanMode;
            if (key == ToolModifiers::kNone)
                finalizeInsertionPoint(*m_trackToExtend, m_newPointIndex);
            else if (key == ToolModifiers::kShift)
                finalizeExtensionPoint(*m_trackToExtend, m_newPointIndex);
        }
        pointsDidChangeInPlace(m_trackToExtend, context);
    }
    clearDragState();
    clearMark();
}

void EditPointTool::cancelDrag(ToolContext& context) {
    if (m_pointFollowsPointer)
        context.host().setMovePreview(std::nullopt);
    clearDragState();
    clearMark();
}

void EditPointTool::clearDragState() {
    m_pointFollowsPointer = false;
    m_newGPSPoint.reset();
    m_trackToExtend.reset();
    m_newPointIndex = 0;
}

void EditPointTool::finalizeInsertionPoint(const GPSItem& item, std::size_t i) {
    const PointList& points = item.itemPoints();
    if (i == 0 || i + 1 >= points.size())
        return;
    GPSPoint& point = *points[i];
    const GPSPoint& before = *points[i - 1];
    const GPSPoint& after = *points[i + 1];
    const double d1 = point.distanceFromPoint(&before);
    const double d2 = point.distanceFromPoint(&after);
    // On both neighbours at once the point takes the earlier one's values.
    const double f = d1 + d2 > 0 ? d1 / (d1 + d2) : 0;
    if (!before.time())
        point.setTime(std::nullopt);
    else if (!after.time())
        point.setTime(before.time());
    else
        point.setTime(before.time()->addingSeconds(after.time()->secondsSince(*before.time()) * f));
    point.setElevation(before.elevation() + (after.elevation() - before.elevation()) * f);
}

void EditPointTool::finalizeExtensionPoint(const GPSItem& item, std::size_t i) {
    const PointList& points = item.itemPoints();
    const std::size_t n = points.size();
    if (n < 2 || i >= n)
        return;
    GPSPoint& point = *points[i];
    const GPSPoint& a = i == 0 ? *points[std::min<std::size_t>(1, n - 1)] : *points[i - 1];
    const GPSPoint& b = i == 0 ? *points[std::min<std::size_t>(2, n - 1)] : *points[i >= 2 ? i - 2 : 0];
    if (n == 2) {
        point.setElevation(a.elevation());
        point.setTime(a.time() ? std::optional(a.time()->addingSeconds(1)) : std::nullopt);
        return;
    }
    point.setElevation(a.elevation() + (a.elevation() - b.elevation()));
    if (!a.time())
        point.setTime(std::nullopt);
    else if (!b.time())
        point.setTime(a.time()->addingSeconds(1)); // no step to repeat: one second, as for two points
    else
        point.setTime(a.time()->addingSeconds(a.time()->secondsSince(*b.time())));
}

void EditPointTool::deletePoint(const ToolEvent& event, ToolContext& context) {
    WendDocument& document = context.document();
    const GPSItemPtr item = m_markedItem;
    const GPSPointPtr marked = m_closestPoint;
    clearMark();
    // A mark left from before an undo or another change may point at nothing any more.
    const auto& items = document.permanentItems();
    if (item && marked && std::find(items.begin(), items.end(), item) != items.end()) {
        PointList points = item->itemPoints();
        auto at = std::find(points.begin(), points.end(), marked);
        if (at != points.end()) {
            document.prepareToUpdateTrackData();
            points.erase(at);
            const bool empty = points.empty();
            item->setItemPoints(std::move(points));
            if (empty)
                document.removeItem(item);
            document.completeUpdatingTrackData();
            document.redisplayItems();
            context.undoManager().setActionName("Remove Point");
        }
    }
    acquireNewPointNearLocation(event.worldPoint, context);
}

void EditPointTool::processMouseMove(const ToolEvent& event, ToolContext& context) {
    if ((event.modifiers & ~ToolModifiers::kPanMode) != ToolModifiers::kOption)
        clearMark();
    else
        acquireNewPointNearLocation(event.worldPoint, context);
    context.host().setNeedsDisplay();
}

void EditPointTool::acquireNewPointNearLocation(WorldPoint location, ToolContext& context) {
    const GPSItemPtr item = context.closestItemToPoint(location, true);
    const std::uint64_t index = item ? context.indexOfClosestPoint(*item, location) : ItemPointIndex::NotFound;
    if (!item || index >= item->itemPoints().size()) {
        clearMark();
        return;
    }
    const GPSPointPtr& point = item->itemPoints()[index];
    if (!(context.viewDistanceFromPoint(location, {point->longitude(), point->latitude()}) <= kMarkReach)) {
        clearMark();
        return;
    }
    if (point == m_closestPoint)
        return;
    m_closestPoint = point;
    m_markedItem = item;
}

void EditPointTool::clearMark() {
    m_closestPoint.reset();
    m_markedItem.reset();
}

void EditPointTool::drawTooling(ToolOverlay& overlay, const ToolContext& context) const {
    if (!m_closestPoint)
        return;
    overlay.crosses.push_back({context.screenPointOf(*m_closestPoint), 3, kMarkColor, 2});
}

} // namespace wend
