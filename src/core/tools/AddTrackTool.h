#pragma once

#include "core/tools/GPSViewTool.h"

namespace wend {

// Creates a track of one point where the user presses; the point follows the pointer until
// the release, and then the edit point tool becomes current so the user can go on adding
// points to the new track.
class AddTrackTool : public GPSViewTool {
public:
    AddTrackTool();

    bool prepareForDrag(const ToolEvent& event, ToolContext& context) override;
    void updateDrag(const ToolEvent& event, ToolContext& context) override;
    void finalizeDrag(std::uint32_t modifiers, ToolContext& context) override;
    void cancelDrag(ToolContext& context) override;
    bool isEqual(const GPSViewTool& other) const override { return isKindOf<AddTrackTool>(other); }

private:
    GPSItemPtr m_track;
    GPSPointPtr m_newGPSPoint;
    WorldPoint m_pointLocation;
};

} // namespace wend
