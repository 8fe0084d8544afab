#include "core/tools/RangeSelectionTool.h"

#include <algorithm>

namespace wend {

bool RangeSelectionTool::prepareForDrag(const ToolEvent& event, ToolContext& context) {
    m_startFound = false;
    m_item.reset();
    return GenericSelectionTool::prepareForDrag(event, context);
}

void RangeSelectionTool::updateSelections(ToolContext& context, WorldPoint dragStart,
                                          WorldPoint dragFinish) {
    if (!m_startFound) {
        m_startFound = true;
        m_item = context.closestItemToPoint(dragStart, true);
        if (m_item)
            m_startIndex = context.indexOfClosestPoint(*m_item, dragStart);
    }
    if (!m_item || m_startIndex >= m_item->itemPoints().size())
        return;
    const GPSPoint& start = *m_item->itemPoints()[m_startIndex];
    if (context.viewDistanceFromPoint(dragStart, {start.longitude(), start.latitude()}) >
        kMaxStartDistance) {
        m_item->setItemSelection(m_item->itemSelection().selectionByDeselectingAll());
        return;
    }
    const std::uint64_t finish = context.indexOfClosestPoint(*m_item, dragFinish);
    const std::uint64_t first = std::min(m_startIndex, finish);
    const std::uint64_t last = std::max(m_startIndex, finish);
    m_item->setItemSelection(applyingRange(startingSelection(*m_item), {first, last - first}));
}

} // namespace wend
