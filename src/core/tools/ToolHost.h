#pragma once

#include "core/mapview/MovePreview.h"
#include "core/model/GPSItem.h"

#include <optional>

namespace wend {

class GPSViewTool;

// What a tool needs from the window it works in, beyond the document and the view's geometry:
// redrawing, previews, switching tools and the waypoint editor. Every operation has an empty
// default, so tests implement only what they watch.
class ToolHost {
public:
    virtual ~ToolHost() = default;

    // The tool's overlay or hover feedback changed.
    virtual void setNeedsDisplay() {}
    // Shows points moved (or nothing) until the next call.
    virtual void setMovePreview(std::optional<MovePreview> preview) { (void)preview; }
    // Points of the item were changed in place (points the tool created in this drag).
    virtual void pointsDidChangeInPlace(const GPSItemPtr& item) { (void)item; }
    // Makes the shared tool of the prototype's class current in every window.
    virtual void selectTool(const GPSViewTool& prototype) { (void)prototype; }
    // Runs the waypoint editor modally on a new waypoint; the edited items, or nothing when
    // the user cancels.
    virtual std::optional<ItemList> editNewWaypoint(const GPSItemPtr& waypoint) {
        (void)waypoint;
        return std::nullopt;
    }
};

} // namespace wend
