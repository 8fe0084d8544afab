#pragma once

#include "core/mapview/MapViewTypes.h"
#include "core/model/ItemColor.h"

#include <vector>

namespace wend {

// What the current tool draws over the map, in screen coordinates (logical points, y growing
// downwards): rectangles filled and outlined, and plus signs.
struct ToolOverlay {
    struct Box {
        ViewRect rect;
        RGBAColor fill;
        RGBAColor stroke;
        double lineWidth = 1;
    };
    struct Cross {
        ViewPoint center;
        double arm = 3;
        RGBAColor color;
        double lineWidth = 2;
    };

    std::vector<Box> boxes;
    std::vector<Cross> crosses;

    bool isEmpty() const { return boxes.empty() && crosses.empty(); }
};

} // namespace wend
