#pragma once

#include "core/mapview/MapViewTypes.h"

#include <cstdint>

namespace wend {

// The part of the plane worth building paths for: a rectangle in screen coordinates, repeated
// horizontally at the world copies the view draws (copy i is shifted by i world widths).
// Everything outside stays invisible as long as the view's shift since the paths were built
// stays within the rectangle's margin.
class ViewCullRegion {
public:
    ViewCullRegion() = default;
    ViewCullRegion(ViewRect rect, double worldSize, std::int64_t firstCopy, std::int64_t lastCopy);

    ViewRect rect() const { return m_rect; }
    bool containsPoint(ViewPoint p) const;
    // Whether the bounding box of the segment meets the region in some copy: a cheap test
    // that keeps every visible segment and a few that pass near a corner.
    bool mayContainSegment(ViewPoint a, ViewPoint b) const;
    // Whether both ends lie in the unshifted rectangle: the common case, which needs no
    // clipping.
    bool holdsSegment(ViewPoint a, ViewPoint b) const { return holds(a) && holds(b); }
    // Cuts the segment to the box around the copies of the region it meets, so no stored
    // point lies absurdly far off screen. False when nothing of it is inside.
    bool clipSegment(ViewPoint& a, ViewPoint& b) const;

private:
    bool holds(ViewPoint p) const {
        return p.x >= m_rect.x && p.x <= m_rect.maxX() && p.y >= m_rect.y && p.y <= m_rect.maxY();
    }
    bool meetsCopies(double minX, double maxX) const;
    bool copiesMet(double minX, double maxX, double& lowest, double& highest) const;

    ViewRect m_rect;
    double m_worldSize = 0;
    std::int64_t m_firstCopy = 0;
    std::int64_t m_lastCopy = 0;
};

} // namespace wend
