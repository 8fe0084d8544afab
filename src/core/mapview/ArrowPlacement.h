#pragma once

#include "core/mapview/MapViewTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wend {

// Where an item's direction arrows stand at one zoom: on the first point that lies 30 points
// or more from the previous arrow's point (or from the item's first positioned point). The
// choice depends on every point before, so it is made once per zoom and kept; after a change
// of points only the arrows from the change on are placed again.
class ArrowPlacement {
public:
    static constexpr double kSpacing = 30;

    // Points from `firstChanged` on are new (their count may differ): their arrows go.
    void pointsChanged(std::size_t firstChanged);
    // Places the arrows over the unit positions for a world `worldSize` points wide, unless
    // they are placed for it already.
    void place(const std::vector<ViewPoint>& unitPositions, double worldSize);
    // The points carrying an arrow, ascending.
    const std::vector<std::uint32_t>& points() const { return m_points; }
    // The point arrow `k` points away from.
    std::size_t anchorOf(std::size_t k) const { return k > 0 ? m_points[k - 1] : m_start; }

private:
    std::vector<std::uint32_t> m_points;
    std::size_t m_start = 0;
    double m_worldSize = 0;
    // Arrows on points from here on are not placed yet.
    std::size_t m_placedUpTo = 0;
};

} // namespace wend
