#pragma once

#include "core/mapview/MapViewTypes.h"

#include <cstddef>
#include <span>
#include <vector>

namespace wend {

// A drawing path in screen coordinates: open polylines and dots. It is stroked with round
// caps and joins, so a dot shows as a disc of the line's width. Polylines share one flat
// point array; a move that no line follows leaves nothing behind.
class ViewPath {
public:
    void moveTo(ViewPoint p);
    void lineTo(ViewPoint p);
    void addDot(ViewPoint p);
    // Three separate segments from the tip: two barbs of length 5 at about +-150 degrees from
    // the unit direction and a shaft of length 10 behind the tip.
    void addArrow(ViewPoint tip, ViewPoint direction);

    std::size_t polylineCount() const { return m_starts.size(); }
    // Every polyline holds at least two points.
    std::span<const ViewPoint> polyline(std::size_t index) const;
    const std::vector<ViewPoint>& dots() const { return m_dots; }
    // Points of all polylines plus the dots: the work of stroking the path.
    std::size_t pointCount() const { return m_points.size() + m_dots.size(); }
    bool isEmpty() const { return m_starts.empty() && m_dots.empty(); }
    // The smallest rectangle holding every point (the stroke's width not included); all
    // zero for an empty path.
    ViewRect bounds() const;

private:
    void include(ViewPoint p);

    std::vector<ViewPoint> m_points;
    std::vector<std::size_t> m_starts;
    std::vector<ViewPoint> m_dots;
    ViewPoint m_pendingMove;
    bool m_hasPendingMove = false;
    bool m_inPolyline = false;
    double m_minX = 0, m_minY = 0, m_maxX = 0, m_maxY = 0;
};

} // namespace wend
