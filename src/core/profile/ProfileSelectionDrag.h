#pragma once

#include "core/model/GPSItem.h"
#include "core/tools/ToolModifiers.h"

#include <cstdint>
#include <vector>

namespace wend {

class WendDocument;

// A drag on the profile that selects a stretch of one item: from the point where it started to
// the point under the pointer, replacing the selection of every item, adding to the item's
// selection or taking the stretch out of it, as the map's selection tools do.
//
// The selection follows the pointer live, each step starting again from the selections the
// drag began with; the views hear of each step, the statistics only of the end (on a
// million-point track they take longer than a frame). Live steps are not recorded for undo; finishing puts the selections back
// and assigns the final ones between the document's "will change" and "did change" brackets,
// so a finished drag is exactly one step "Change Selection" when the preferences make
// selection changes undoable, and none otherwise. A cancelled drag (Escape, lost focus)
// restores the selections and leaves no step and no open group behind.
class ProfileSelectionDrag {
public:
    // `items` are the document's items as the drag starts; `item` is one of them. Nothing
    // changes before the first moveTo.
    ProfileSelectionDrag(WendDocument& document, ItemList items, GPSItemPtr item,
                         std::uint64_t startIndex, SelectionMode mode);

    const GPSItemPtr& item() const { return m_item; }
    SelectionMode mode() const { return m_mode; }
    bool isActive() const { return m_active; }

    // Selects from the start to this point of the item.
    void moveTo(std::uint64_t index);
    // Makes the last step the document's selection.
    void finish();
    // Puts every selection back as it was when the drag began.
    void cancel();

private:
    // Assigns the selections of a step without recording them.
    void assignStep(std::uint64_t index);
    void assignOriginalSelections();

    WendDocument& m_document;
    ItemList m_items;
    std::vector<Selection> m_originalSelections;
    GPSItemPtr m_item;
    std::uint64_t m_startIndex = 0;
    std::uint64_t m_currentIndex = 0;
    SelectionMode m_mode = SelectionMode::Replace;
    bool m_active = true;
};

} // namespace wend
