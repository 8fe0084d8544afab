#include "core/tools/ToolSet.h"

#include "core/tools/AddTrackTool.h"
#include "core/tools/AddWaypointTool.h"
#include "core/tools/BoxSelectionTool.h"
#include "core/tools/EditPointTool.h"
#include "core/tools/ItemSelectionTool.h"
#include "core/tools/RangeSelectionTool.h"

namespace wend {

ToolSet::ToolSet()
    : m_tools{GPSViewTool::tool<RangeSelectionTool>(), GPSViewTool::tool<BoxSelectionTool>(),
              GPSViewTool::tool<ItemSelectionTool>(),  GPSViewTool::tool<AddTrackTool>(),
              GPSViewTool::tool<EditPointTool>(),      GPSViewTool::tool<AddWaypointTool>()} {}

GPSViewTool* ToolSet::tool(int position) const {
    if (position < 0 || position >= kToolCount)
        return nullptr;
    return m_tools[static_cast<std::size_t>(position)].get();
}

int ToolSet::positionOf(const GPSViewTool& tool) const {
    // Equality is asked of the shared instance, so a tool of a base class matches none.
    for (int i = 0; i < kToolCount; ++i)
        if (m_tools[static_cast<std::size_t>(i)]->isEqual(tool))
            return i;
    return -1;
}

std::string ToolSet::tooltipText(const GPSViewTool& tool) {
    std::string text = kPanHint;
    if (!tool.usage().empty())
        text += "\n\n" + tool.usage();
    return text;
}

} // namespace wend
