#pragma once

#include "core/tools/GPSViewTool.h"

namespace wend {

// Places a waypoint: a selected preview follows the pointer while the button is held; on
// release the waypoint editor opens, and the waypoint is added (one undo step) only when the
// editor is confirmed.
class AddWaypointTool : public GPSViewTool {
public:
    static constexpr const char* kDefaultName = "Untitled Waypoint";

    AddWaypointTool() { setName("Add Waypoint Tool (W)"); }

    bool prepareForDrag(const ToolEvent& event, ToolContext& context) override;
    void updateDrag(const ToolEvent& event, ToolContext& context) override;
    void finalizeDrag(std::uint32_t modifiers, ToolContext& context) override;
    void cancelDrag(ToolContext& context) override;
    bool isEqual(const GPSViewTool& other) const override { return isKindOf<AddWaypointTool>(other); }

    const GPSItemPtr& waypointItem() const { return m_waypointItem; }

private:
    GPSItemPtr m_waypointItem;
};

} // namespace wend
