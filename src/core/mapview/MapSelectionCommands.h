#pragma once

#include "core/mapview/MapViewGeometry.h"
#include "core/model/GPSItem.h"

#include <cstdint>
#include <functional>

namespace wend {

// What the view calls around every change of item selections it makes, so the document can
// prepare the update, group the change for undo and announce it. Empty functions are skipped.
struct SelectionChangeBrackets {
    std::function<void()> willChangeSelection;
    std::function<void()> didChangeSelection;
};

// The map view's keyboard selection commands. Every item given takes part, hidden ones
// included; each new selection is assigned through GPSItem::setItemSelection, so undo and the
// views see it. Each command is framed by the two brackets, even when nothing changes.
class MapSelectionCommands {
public:
    // Select All: every point of every item that has points.
    static void selectAll(const ItemList& items, const SelectionChangeBrackets& brackets);
    // The down arrow: moves every selected stretch one point forward along its item (a
    // stretch pushed past the last point disappears), then centres the view on the selection.
    static void moveDown(const ItemList& items, MapViewGeometry& geometry,
                         const SelectionChangeBrackets& brackets);
    // The up arrow: one point back.
    static void moveUp(const ItemList& items, MapViewGeometry& geometry,
                       const SelectionChangeBrackets& brackets);

    // Every item's selection shifted by `offset` points.
    static void offsetSelections(const ItemList& items, std::int64_t offset,
                                 const SelectionChangeBrackets& brackets);
};

} // namespace wend
