#include "core/tools/AddTrackTool.h"

#include "core/document/WendDocument.h"
#include "core/tools/EditPointTool.h"

namespace wend {

AddTrackTool::AddTrackTool() {
    setName("Add Track Tool (A)");
    setUsage("Click to create a new, single point track\n"
             "Wend will automatically switch to the Edit Point tool\n"
             "after creating the track");
}

bool AddTrackTool::prepareForDrag(const ToolEvent& event, ToolContext& context) {
    m_newGPSPoint = GPSPoint::pointWithLongitude(event.worldPoint.lon, event.worldPoint.lat,
                                                 GPSPoint::NaN, std::nullopt);
    m_track = GPSItem::item();
    m_track->setItemPoints({m_newGPSPoint});
    context.document().addItem(m_track);
    context.undoManager().setActionName("Add Track");
    return true;
}

void AddTrackTool::updateDrag(const ToolEvent& event, ToolContext& context) {
    if (!m_newGPSPoint)
        return;
    // The point is this drag's own: it moves in place, and only its one-point track is redrawn.
    m_newGPSPoint->setLongitude(event.worldPoint.lon);
    m_newGPSPoint->setLatitude(event.worldPoint.lat);
    context.host().pointsDidChangeInPlace(m_track);
}

void AddTrackTool::finalizeDrag(std::uint32_t, ToolContext& context) {
    m_newGPSPoint.reset();
    m_track.reset();
    context.host().selectTool(*tool<EditPointTool>());
}

void AddTrackTool::cancelDrag(ToolContext&) {
    m_newGPSPoint.reset();
    m_track.reset();
}

} // namespace wend
