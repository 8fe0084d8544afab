#pragma once

#include "core/tools/GenericSelectionTool.h"

namespace wend {

// Selects the whole item nearest to the pointer (no distance limit); moving the pointer to
// another item selects that one instead and gives the first back its earlier selection.
class ItemSelectionTool : public GenericSelectionTool {
public:
    ItemSelectionTool() { setName("Track Selection Tool (T)"); }
    bool isEqual(const GPSViewTool& other) const override { return isKindOf<ItemSelectionTool>(other); }

protected:
    void updateSelections(ToolContext& context, WorldPoint dragStart, WorldPoint dragFinish) override;
};

} // namespace wend
