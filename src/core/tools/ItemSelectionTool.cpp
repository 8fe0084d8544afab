#include "core/tools/ItemSelectionTool.h"

namespace wend {

void ItemSelectionTool::updateSelections(ToolContext& context, WorldPoint, WorldPoint dragFinish) {
    const GPSItemPtr item = context.closestItemToPoint(dragFinish, true);
    if (!item)
        return;
    const Selection& selection = item->itemSelection();
    item->setItemSelection(mode() == SelectionMode::Subtract ? selection.selectionByDeselectingAll()
                                                             : selection.selectionBySelectingAll());
}

} // namespace wend
