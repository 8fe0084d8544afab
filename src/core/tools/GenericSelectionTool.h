#pragma once

#include "core/model/Selection.h"
#include "core/tools/GPSViewTool.h"
#include "core/tools/ToolModifiers.h"

#include <vector>

namespace wend {

// What the three selection tools share: the selection mode fixed by the modifier keys at the
// press, the snapshot of every item's selection that each drag step starts again from (so the
// selection follows the pointer and can shrink again), and moving points with Ctrl held: the
// selection when there is one, else the single point within 15 points of the press, shown
// moved while the drag lasts and moved for real (one undo step) on release. Subclasses decide
// what a drag from one world point to another selects.
class GenericSelectionTool : public GPSViewTool {
public:
    static constexpr const char* kUsage =
        "Hold Shift to extend the existing selection\n"
        "Hold Alt or X to subtract from the existing selection\n"
        "Hold Ctrl to move the selection or a single unselected point";
    // How near the press must be to the point a single-point move takes.
    static constexpr double kSinglePointReach = 15;

    GenericSelectionTool();

    bool prepareForDrag(const ToolEvent& event, ToolContext& context) override;
    void updateDrag(const ToolEvent& event, ToolContext& context) override;
    void finalizeDrag(std::uint32_t modifiers, ToolContext& context) override;
    void cancelDrag(ToolContext& context) override;
    std::optional<ToolCursor> cursorForModifiers(std::uint32_t modifiers) const override;
    bool isEqual(const GPSViewTool& other) const override { return isKindOf<GenericSelectionTool>(other); }

    SelectionMode mode() const { return m_mode; }
    bool isDragging() const { return m_dragging; }

protected:
    // The subclass's part of a drag step: the items' selections are back at the snapshot.
    virtual void updateSelections(ToolContext& context, WorldPoint dragStart, WorldPoint dragFinish);
    // The selection as a subclass starts from it: the item's own, emptied in replace mode.
    Selection startingSelection(const GPSItem& item) const;
    // Selects (replace, extend) or deselects (subtract) a stretch.
    Selection applyingRange(const Selection& selection, IndexRange range) const;

private:
    bool prepareToChangeSelection(ToolContext& context);
    bool prepareToMoveSinglePoint(ToolContext& context);
    MovePreview movePreview(ToolContext& context) const;
    void clearDragState();

    SelectionMode m_mode = SelectionMode::Replace;
    bool m_dragging = false;
    std::vector<Selection> m_oldSelections;
    WorldPoint m_dragStartPoint;
    WorldPoint m_dragDistance;
    GPSPointPtr m_singlePointToMove;
    GPSItemPtr m_singleItemToMove;
    std::size_t m_singlePointIndex = 0;
};

} // namespace wend
