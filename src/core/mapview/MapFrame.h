#pragma once

#include "core/mapview/MapScaleBar.h"
#include "core/mapview/MapViewTypes.h"
#include "core/mapview/ViewPath.h"
#include "core/model/ItemColor.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wend {

// One stroke of a cached path: translate the painter by `offset`, then stroke every polyline
// and dot of the path with round caps and joins.
struct PathStroke {
    // Owned by the renderer that made the frame; valid until its next rebuild.
    const ViewPath* path = nullptr;
    ViewPoint offset;
    RGBAColor color;
    double width = 0;
};

// A waypoint's dot: a disc of the outline's width, then one of the fill's width over it.
struct WaypointMarker {
    ViewPoint position;
    RGBAColor outlineColor;
    double outlineWidth = 0;
    RGBAColor fillColor;
    double fillWidth = 0;
};

// A waypoint's name, its left edge at `origin.x`, vertically centred on `origin.y`.
struct WaypointLabel {
    ViewPoint origin;
    std::string text;
};

// Everything the map view paints for one frame, in screen coordinates (logical points, y
// growing downwards) and in painting order: the strokes in list order (every item's base line
// before any selection highlight or arrow), then the waypoint markers, then the labels, then
// the scale bar. The current tool's overlay goes on top, except in pan mode.
struct MapFrame {
    static constexpr double kLabelFontSize = 12;
    static constexpr RGBAColor kLabelColor{1, 1, 1, 1};
    static constexpr RGBAColor kLabelShadowColor{0, 0, 0, 0.85};
    static constexpr double kLabelShadowBlurRadius = 5;
    // How far right of its waypoint a label begins.
    static constexpr double kLabelOffset = 10;

    std::vector<PathStroke> strokes;
    // The leading strokes are the items' outlines from the drawing caches (and their arrows
    // when no highlight lies between), the same paths while `pathsGeneration` stays: a painter
    // may keep them as an image until then.
    std::size_t cacheableStrokes = 0;
    std::uint64_t pathsGeneration = 0;
    // What the outlines look like, wherever the view shows them: it stays while only the
    // centre moves (caches rebuilt for a new centre included), so an image of the outlines
    // may be scrolled by the view's move and completed where it was not painted.
    std::uint64_t outlinesGeneration = 0;
    // The view's top-left corner in world pixels of the current zoom (y growing downwards):
    // the outlines moved by the difference between two frames' positions.
    ViewPoint viewPosition;
    // Where the outlines are complete (screen coordinates): the region the caches hold. A
    // painter may stroke them ahead of a pan only within it.
    ViewRect outlinesExtent;
    // A pan is under way: the outlines may be scrolled to within half a device pixel of their
    // place until it ends (a move along the meridians is not whole on the Mercator map).
    bool panning = false;
    std::vector<WaypointMarker> waypoints;
    std::vector<WaypointLabel> labels;
    std::optional<MapScaleBar> scaleBar;
};

} // namespace wend
