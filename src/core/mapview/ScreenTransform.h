#pragma once

#include "core/mapview/MapViewGeometry.h"
#include "core/mapview/MapViewTypes.h"

namespace wend {

// Where a unit position (a world one unit wide) lies on the screen of the geometry's view
// centred on `center`, in world pixels of the current zoom.
struct ScreenTransform {
    double worldSize, dx, dy, height;

    ScreenTransform(const MapViewGeometry& geometry, ViewPoint center)
        : worldSize(static_cast<double>(geometry.currentWorldSize())),
          dx(center.x - geometry.viewSize().width / 2), dy(center.y - geometry.viewSize().height / 2),
          height(geometry.viewSize().height) {}
    ViewPoint operator()(ViewPoint unit) const {
        return {unit.x * worldSize - dx, height - (unit.y * worldSize - dy)};
    }
};

} // namespace wend
