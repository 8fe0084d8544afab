#pragma once

#include "core/tools/GPSViewTool.h"

#include <array>
#include <memory>

namespace wend {

// The six editing tools, created once and shared by every window, in their fixed order:
// range, box and track selection, add track, edit point, add waypoint. Menus and the toolbar
// know a tool by its position.
class ToolSet {
public:
    static constexpr int kToolCount = 6;
    static constexpr const char* kPanHint = "Hold Space to disable editing and drag the map";
    enum Position : int {
        RangeSelection = 0,
        BoxSelection = 1,
        ItemSelection = 2,
        AddTrack = 3,
        EditPoint = 4,
        AddWaypoint = 5,
    };

    ToolSet();

    // Null outside 0...5.
    GPSViewTool* tool(int position) const;
    // The position of the shared tool equal (by class) to the given one, -1 when none is.
    int positionOf(const GPSViewTool& tool) const;

    // The tool's help text as the bubble shows it: how to pan, then the tool's usage.
    static std::string tooltipText(const GPSViewTool& tool);

private:
    std::array<std::unique_ptr<GPSViewTool>, kToolCount> m_tools;
};

} // namespace wend
