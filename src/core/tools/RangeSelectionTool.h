#pragma once

#include "core/tools/GenericSelectionTool.h"

namespace wend {

// Selects the stretch of one item between the points nearest to where the drag began and
// where it is now (the item nearest to the press). A press more than 64 points from that
// item's nearest point clears the item's selection instead, whatever the mode.
class RangeSelectionTool : public GenericSelectionTool {
public:
    static constexpr double kMaxStartDistance = 64;

    RangeSelectionTool() { setName("Range Selection Tool (R)"); }
    bool prepareForDrag(const ToolEvent& event, ToolContext& context) override;
    bool isEqual(const GPSViewTool& other) const override { return isKindOf<RangeSelectionTool>(other); }

protected:
    void updateSelections(ToolContext& context, WorldPoint dragStart, WorldPoint dragFinish) override;

private:
    // The item and point nearest to the press, found on the first step of a drag (they do not
    // change while it lasts).
    bool m_startFound = false;
    GPSItemPtr m_item;
    std::uint64_t m_startIndex = 0;
};

} // namespace wend
