#include "core/tools/GenericSelectionTool.h"

#include "core/document/WendDocument.h"
#include "core/processing/TrackGeometry.h"

#include <algorithm>

namespace wend {

GenericSelectionTool::GenericSelectionTool() {
    setUsage(kUsage);
}

bool GenericSelectionTool::prepareForDrag(const ToolEvent& event, ToolContext& context) {
    clearDragState();
    m_mode = ToolModifiers::selectionModeForModifiers(event.modifiers);
    m_dragStartPoint = event.worldPoint;
    if (m_mode != SelectionMode::Move)
        m_dragging = prepareToChangeSelection(context);
    else if (!context.document().selectedItems().empty())
        m_dragging = true;
    else
        m_dragging = prepareToMoveSinglePoint(context);
    return m_dragging;
}

bool GenericSelectionTool::prepareToChangeSelection(ToolContext& context) {
    for (const auto& item : context.items())
        m_oldSelections.push_back(m_mode == SelectionMode::Replace
                                      ? item->itemSelection().selectionByDeselectingAll()
                                      : item->itemSelection());
    context.document().GPSViewWillChangeSelection();
    return true;
}

bool GenericSelectionTool::prepareToMoveSinglePoint(ToolContext& context) {
    GPSItemPtr item = context.closestItemToPoint(m_dragStartPoint, true);
    if (!item)
        return false;
    const std::uint64_t index = context.indexOfClosestPoint(*item, m_dragStartPoint);
    if (index >= item->itemPoints().size())
        return false;
    const GPSPointPtr& point = item->itemPoints()[index];
    if (!(context.viewDistanceFromPoint(m_dragStartPoint, {point->longitude(), point->latitude()}) <=
          kSinglePointReach))
        return false;
    m_singleItemToMove = item;
    m_singlePointToMove = point;
    m_singlePointIndex = static_cast<std::size_t>(index);
    return true;
}

void GenericSelectionTool::updateDrag(const ToolEvent& event, ToolContext& context) {
    if (!m_dragging)
        return;
    m_dragDistance = {event.worldPoint.lon - m_dragStartPoint.lon,
                      event.worldPoint.lat - m_dragStartPoint.lat};
    if (m_mode != SelectionMode::Move) {
        WendDocument& document = context.document();
        document.prepareToUpdateSelection();
        const ItemList items = context.items();
        for (std::size_t i = 0; i < items.size() && i < m_oldSelections.size(); ++i)
            items[i]->setItemSelection(m_oldSelections[i]);
        updateSelections(context, m_dragStartPoint, event.worldPoint);
        document.completeUpdatingSelection();
        return;
    }
    context.host().setMovePreview(movePreview(context));
}

MovePreview GenericSelectionTool::movePreview(ToolContext& context) const {
    MovePreview preview;
    preview.lonOffset = m_dragDistance.lon;
    preview.latOffset = m_dragDistance.lat;
    if (m_singleItemToMove) {
        preview.items.push_back({m_singleItemToMove, {{m_singlePointIndex, 0}}});
        return preview;
    }
    for (const auto& item : context.document().permanentItems())
        if (!item->itemSelection().isEmpty())
            preview.items.push_back({item, item->itemSelection().ranges()});
    return preview;
}

void GenericSelectionTool::finalizeDrag(std::uint32_t, ToolContext& context) {
    if (!m_dragging)
        return;
    WendDocument& document = context.document();
    if (m_mode != SelectionMode::Move) {
        document.GPSViewDidChangeSelection();
        clearDragState();
        return;
    }
    context.host().setMovePreview(std::nullopt);
    // A Ctrl-click that moved nothing changes nothing (and leaves no undo step).
    const bool moved = m_dragDistance.lon != 0 || m_dragDistance.lat != 0;
    UndoManager& undoManager = context.undoManager();
    undoManager.beginUndoGrouping();
    if (moved && m_singleItemToMove) {
        const PointList& points = m_singleItemToMove->itemPoints();
        // The point is found again by identity: the index is only where it was at the press.
        std::size_t index = m_singlePointIndex;
        if (index >= points.size() || points[index] != m_singlePointToMove)
            index = static_cast<std::size_t>(
                std::find(points.begin(), points.end(), m_singlePointToMove) - points.begin());
        if (index < points.size()) {
            auto copy = m_singlePointToMove->copy();
            copy->setLongitude(m_singlePointToMove->longitude() + m_dragDistance.lon);
            copy->setLatitude(m_singlePointToMove->latitude() + m_dragDistance.lat);
            PointList movedPoints = points;
            movedPoints[index] = std::move(copy);
            m_singleItemToMove->setItemPoints(std::move(movedPoints));
            undoManager.setActionName("Move Point");
        }
    } else if (moved) {
        const WorldPoint distance = m_dragDistance;
        document.applyToSelectedItems([distance](const GPSItemPtr& item) {
            TrackGeometry::offsetPointsByDistance(*item, distance.lon, distance.lat, true);
        });
        undoManager.setActionName("Move Points");
    }
    undoManager.endUndoGrouping();
    clearDragState();
}

void GenericSelectionTool::cancelDrag(ToolContext& context) {
    if (m_dragging && m_mode != SelectionMode::Move)
        context.document().GPSViewDidChangeSelection();
    if (m_dragging && m_mode == SelectionMode::Move)
        context.host().setMovePreview(std::nullopt);
    clearDragState();
}

void GenericSelectionTool::clearDragState() {
    m_dragging = false;
    m_dragStartPoint = {};
    m_dragDistance = {};
    m_oldSelections.clear();
    m_singlePointToMove.reset();
    m_singleItemToMove.reset();
    m_singlePointIndex = 0;
}

std::optional<ToolCursor> GenericSelectionTool::cursorForModifiers(std::uint32_t modifiers) const {
    switch (ToolModifiers::selectionModeForModifiers(modifiers)) {
    case SelectionMode::Replace:
        return ToolCursor::Crosshair;
    case SelectionMode::Extend:
        return ToolCursor::AdditiveCrosshair;
    case SelectionMode::Subtract:
        return ToolCursor::SubtractiveCrosshair;
    case SelectionMode::Move:
        return ToolCursor::MoveCrosshair;
    }
    return ToolCursor::Crosshair;
}

void GenericSelectionTool::updateSelections(ToolContext&, WorldPoint, WorldPoint) {}

Selection GenericSelectionTool::startingSelection(const GPSItem& item) const {
    return m_mode == SelectionMode::Replace ? item.itemSelection().selectionByDeselectingAll()
                                            : item.itemSelection();
}

Selection GenericSelectionTool::applyingRange(const Selection& selection, IndexRange range) const {
    return m_mode == SelectionMode::Subtract ? selection.selectionByDeselectingRange(range)
                                             : selection.selectionBySelectingRange(range);
}

} // namespace wend
