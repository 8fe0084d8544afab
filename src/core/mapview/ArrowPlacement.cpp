#include "core/mapview/ArrowPlacement.h"

#include <algorithm>
#include <cmath>

namespace wend {

namespace {
bool isPositioned(ViewPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}
} // namespace

void ArrowPlacement::pointsChanged(std::size_t firstChanged) {
    m_points.erase(std::lower_bound(m_points.begin(), m_points.end(), firstChanged), m_points.end());
    m_placedUpTo = std::min(m_placedUpTo, firstChanged);
}

void ArrowPlacement::place(const std::vector<ViewPoint>& unit, double worldSize) {
    if (worldSize != m_worldSize) {
        m_worldSize = worldSize;
        pointsChanged(0);
    }
    if (m_placedUpTo >= unit.size())
        return;
    // Arrows before the first unplaced point stay; the walk resumes from the last of them.
    std::size_t from = 0;
    if (!m_points.empty()) {
        from = m_points.back();
    } else {
        while (from < unit.size() && !isPositioned(unit[from]))
            ++from;
        m_start = from;
    }
    m_placedUpTo = unit.size();
    if (from >= unit.size())
        return;
    const double spacing2 = kSpacing * kSpacing;
    double ax = unit[from].x * worldSize, ay = unit[from].y * worldSize;
    for (std::size_t i = from + 1; i < unit.size(); ++i) {
        if (!isPositioned(unit[i]))
            continue;
        const double x = unit[i].x * worldSize, y = unit[i].y * worldSize;
        const double dx = x - ax, dy = y - ay;
        if (dx * dx + dy * dy < spacing2)
            continue;
        m_points.push_back(static_cast<std::uint32_t>(i));
        ax = x;
        ay = y;
    }
}

} // namespace wend
