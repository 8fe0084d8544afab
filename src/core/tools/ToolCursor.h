#pragma once

namespace wend {

// The cursors the map view shows. The three marked crosshairs are images of the application
// with their centre (the hot spot) at (7, 7).
enum class ToolCursor {
    Arrow,
    Crosshair,
    AdditiveCrosshair,
    SubtractiveCrosshair,
    MoveCrosshair,
    OpenHand,
    ClosedHand,
};

} // namespace wend
