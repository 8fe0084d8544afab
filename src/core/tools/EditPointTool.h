#pragma once

#include "core/tools/GPSViewTool.h"

namespace wend {

// Edits single points on the map. A plain press adds a point inside the nearest segment of
// the nearest track or route; with Shift it adds one before the first or after the last point
// of the track whose end is nearest; with Ctrl it moves the nearest point; with Alt (or X) it
// removes the point marked under the pointer. An added or moved point follows the pointer
// until the release, when an added point gets a time and an elevation interpolated (inside)
// or extrapolated (at an end) from its neighbours. Each press is one undo step.
class EditPointTool : public GPSViewTool {
public:
    static constexpr const char* kUsage =
        "By default, points are added inside the nearest track segment\n"
        "Hold Shift to add points to either end of a track\n"
        "Hold Alt or X to remove the nearest point or waypoint\n"
        "Hold Ctrl to move the nearest point or waypoint";
    // How near the pointer must be to a point to mark it for removal.
    static constexpr double kMarkReach = 15;
    static constexpr RGBAColor kMarkColor{1, 0, 0, 1};

    EditPointTool();

    bool prepareForDrag(const ToolEvent& event, ToolContext& context) override;
    void updateDrag(const ToolEvent& event, ToolContext& context) override;
    void finalizeDrag(std::uint32_t modifiers, ToolContext& context) override;
    void cancelDrag(ToolContext& context) override;
    void processMouseMove(const ToolEvent& event, ToolContext& context) override;
    void drawTooling(ToolOverlay& overlay, const ToolContext& context) const override;
    bool isEqual(const GPSViewTool& other) const override { return isKindOf<EditPointTool>(other); }

    // The point marked for removal (Alt held), or null.
    const GPSPointPtr& closestPoint() const { return m_closestPoint; }

    // The item a press edits: with Ctrl the nearest visible item (waypoints included), with no
    // modifier the nearest visible track or route, otherwise (Shift) the track or route, hidden
    // ones included, with the end point nearest to the location.
    static GPSItemPtr trackToEdit(ToolContext& context, std::uint32_t modifiers, WorldPoint location);
    // The time and elevation of a point added inside an item (index i, 0 < i < count - 1),
    // interpolated by its distances to its two neighbours.
    static void finalizeInsertionPoint(const GPSItem& item, std::size_t index);
    // The time and elevation of a point added at an end, continuing the last step.
    static void finalizeExtensionPoint(const GPSItem& item, std::size_t index);

private:
    void addPoint(const ToolEvent& event, ToolContext& context);
    void movePoint(const ToolEvent& event, ToolContext& context);
    void deletePoint(const ToolEvent& event, ToolContext& context);
    void acquireNewPointNearLocation(WorldPoint location, ToolContext& context);
    void clearMark();
    void clearDragState();

    GPSItemPtr m_trackToExtend;
    GPSPointPtr m_newGPSPoint;
    GPSPointPtr m_closestPoint;
    GPSItemPtr m_markedItem;
    // Where the new or moved point stands in its item and where it stood at the press: the
    // drag shows it moved by the pointer's offset and sets it once, on release.
    std::size_t m_newPointIndex = 0;
    WorldPoint m_pointOrigin;
    WorldPoint m_pointLocation;
    bool m_pointFollowsPointer = false;
};

} // namespace wend
