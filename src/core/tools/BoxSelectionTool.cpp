#include "core/tools/BoxSelectionTool.h"

#include <algorithm>
#include <cmath>

namespace wend {

bool BoxSelectionTool::prepareForDrag(const ToolEvent& event, ToolContext& context) {
    const bool started = GenericSelectionTool::prepareForDrag(event, context);
    m_toolingStartPoint = m_toolingFinishPoint = event.screenPoint;
    return started;
}

void BoxSelectionTool::updateDrag(const ToolEvent& event, ToolContext& context) {
    m_toolingFinishPoint = event.screenPoint;
    GenericSelectionTool::updateDrag(event, context);
    context.host().setNeedsDisplay();
}

void BoxSelectionTool::finalizeDrag(std::uint32_t modifiers, ToolContext& context) {
    m_toolingStartPoint = m_toolingFinishPoint = {};
    GenericSelectionTool::finalizeDrag(modifiers, context);
    context.host().setNeedsDisplay();
}

void BoxSelectionTool::cancelDrag(ToolContext& context) {
    m_toolingStartPoint = m_toolingFinishPoint = {};
    GenericSelectionTool::cancelDrag(context);
    context.host().setNeedsDisplay();
}

void BoxSelectionTool::updateSelections(ToolContext& context, WorldPoint dragStart,
                                        WorldPoint dragFinish) {
    WorldRect rect;
    rect.x = std::min(dragStart.lon, dragFinish.lon);
    rect.y = std::min(dragStart.lat, dragFinish.lat);
    rect.width = std::fabs(dragFinish.lon - dragStart.lon);
    rect.height = std::fabs(dragFinish.lat - dragStart.lat);
    for (const auto& item : context.items())
        updateSelectionForItem(context, item, rect);
}

void BoxSelectionTool::updateSelectionForItem(ToolContext& context, const GPSItemPtr& item,
                                              const WorldRect& rect) const {
    if (!item->visible())
        return;
    Selection selection = startingSelection(*item);
    for (const IndexRange& run : context.runsInside(*item, rect))
        selection = applyingRange(selection, run);
    item->setItemSelection(selection);
}

void BoxSelectionTool::drawTooling(ToolOverlay& overlay, const ToolContext&) const {
    if (!isDragging() || mode() == SelectionMode::Move)
        return;
    const ViewRect rect{std::min(m_toolingStartPoint.x, m_toolingFinishPoint.x),
                        std::min(m_toolingStartPoint.y, m_toolingFinishPoint.y),
                        std::fabs(m_toolingFinishPoint.x - m_toolingStartPoint.x),
                        std::fabs(m_toolingFinishPoint.y - m_toolingStartPoint.y)};
    overlay.boxes.push_back({rect, kFillColor, kStrokeColor, 1});
}

} // namespace wend
