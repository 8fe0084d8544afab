#include "core/mapview/MapSelectionCommands.h"

namespace wend {

namespace {
void call(const std::function<void()>& function) {
    if (function)
        function();
}
} // namespace

void MapSelectionCommands::selectAll(const ItemList& items,
                                     const SelectionChangeBrackets& brackets) {
    call(brackets.willChangeSelection);
    for (const auto& item : items) {
        // An item without points has nothing to select; "all" of its open-ended valid range
        // would read as a selection of points that do not exist.
        if (item && !item->itemPoints().empty())
            item->setItemSelection(item->itemSelection().selectionBySelectingAll());
    }
    call(brackets.didChangeSelection);
}

void MapSelectionCommands::offsetSelections(const ItemList& items, std::int64_t offset,
                                            const SelectionChangeBrackets& brackets) {
    call(brackets.willChangeSelection);
    for (const auto& item : items) {
        if (item)
            item->setItemSelection(item->itemSelection().selectionWithOffset(offset));
    }
    call(brackets.didChangeSelection);
}

void MapSelectionCommands::moveDown(const ItemList& items, MapViewGeometry& geometry,
                                    const SelectionChangeBrackets& brackets) {
    offsetSelections(items, 1, brackets);
    geometry.centerOnSelection(items);
}

void MapSelectionCommands::moveUp(const ItemList& items, MapViewGeometry& geometry,
                                  const SelectionChangeBrackets& brackets) {
    offsetSelections(items, -1, brackets);
    geometry.centerOnSelection(items);
}

} // namespace wend
