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
    // Shown moved while the drag lasts; the point itself is set once, on release.
    m_pointLocation = event.worldPoint;
    MovePreview preview;
    preview.items.push_back({m_track, {{0, 0}}});
    preview.lonOffset = m_pointLocation.lon - m_newGPSPoint->longitude();
    preview.latOffset = m_pointLocation.lat - m_newGPSPoint->latitude();
    context.host().setMovePreview(std::move(preview));
}

void AddTrackTool::finalizeDrag(std::uint32_t, ToolContext& context) {
    if (m_newGPSPoint) {
        context.host().setMovePreview(std::nullopt);
        // The point is this drag's own: it is set in place.
        m_newGPSPoint->setLongitude(m_pointLocation.lon);
        m_newGPSPoint->setLatitude(m_pointLocation.lat);
        pointsDidChangeInPlace(m_track, context);
    }
    m_newGPSPoint.reset();
    m_track.reset();
    context.host().selectTool(*tool<EditPointTool>());
}

void AddTrackTool::cancelDrag(ToolContext& context) {
    if (m_newGPSPoint)
        context.host().setMovePreview(std::nullopt);
    m_newGPSPoint.reset();
    m_track.reset();
}

} // namespace wend
