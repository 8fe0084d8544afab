#pragma once

#include "core/mapview/MapViewTypes.h"

#include <cstdint>

namespace wend {

// One mouse event as a tool sees it: where it happened on the screen (logical points, y
// growing downwards from the view's top-left corner) and on the earth, the modifier state
// (ToolModifiers) and the click count.
struct ToolEvent {
    ViewPoint screenPoint;
    WorldPoint worldPoint;
    std::uint32_t modifiers = 0;
    int clickCount = 1;
};

} // namespace wend
