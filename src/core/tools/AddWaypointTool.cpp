#include "core/tools/AddWaypointTool.h"

#include "core/document/WendDocument.h"

namespace wend {

bool AddWaypointTool::prepareForDrag(const ToolEvent&, ToolContext& context) {
    WendDocument& document = context.document();
    m_waypointItem = GPSItem::item();
    m_waypointItem->setItemName(kDefaultName);
    m_waypointItem->setItemType(GPSItemType::Waypoint);
    m_waypointItem->setItemPoints({GPSPoint::point()});
    m_waypointItem->setItemSelection(m_waypointItem->itemSelection().selectionBySelectingAll());
    m_waypointItem->setItemColor(document.nextPathColor());
    ItemList preview = document.permanentItems();
    preview.push_back(m_waypointItem);
    document.setTempItems(std::move(preview));
    return true;
}

void AddWaypointTool::updateDrag(const ToolEvent& event, ToolContext& context) {
    if (!m_waypointItem)
        return;
    // The preview's point belongs to no document yet: it moves in place.
    GPSPoint& point = *m_waypointItem->itemPoints().front();
    point.setLongitude(event.worldPoint.lon);
    point.setLatitude(event.worldPoint.lat);
    pointsDidChangeInPlace(m_waypointItem, context);
}

void AddWaypointTool::finalizeDrag(std::uint32_t, ToolContext& context) {
    if (!m_waypointItem)
        return;
    WendDocument& document = context.document();
    const std::optional<ItemList> edited = context.host().editNewWaypoint(m_waypointItem);
    if (edited && !edited->empty() && edited->front()) {
        document.prepareToUpdateTrackData();
        context.undoManager().beginUndoGrouping();
        document.addItem(edited->front());
        context.undoManager().setActionName("Add Waypoint");
        context.undoManager().endUndoGrouping();
        document.completeUpdatingTrackData();
    }
    document.setTempItems(std::nullopt);
    m_waypointItem.reset();
}

void AddWaypointTool::cancelDrag(ToolContext& context) {
    if (m_waypointItem)
        context.document().setTempItems(std::nullopt);
    m_waypointItem.reset();
}

} // namespace wend
