#include "core/mapview/ViewCullRegion.h"

#include <algorithm>
#include <cmath>

namespace wend {

ViewCullRegion::ViewCullRegion(ViewRect rect, double worldSize, std::int64_t firstCopy,
                               std::int64_t lastCopy)
    : m_rect(rect), m_worldSize(worldSize), m_firstCopy(firstCopy), m_lastCopy(lastCopy) {}

bool ViewCullRegion::copiesMet(double minX, double maxX, double& lowest, double& highest) const {
    if (!(m_worldSize > 0))
        return false;
    // Copy i shows x + i * W: some i of the drawn copies must bring [minX, maxX] onto the rect.
    lowest = std::max(static_cast<double>(m_firstCopy), std::ceil((m_rect.x - maxX) / m_worldSize));
    highest =
        std::min(static_cast<double>(m_lastCopy), std::floor((m_rect.maxX() - minX) / m_worldSize));
    return lowest <= highest;
}

bool ViewCullRegion::meetsCopies(double minX, double maxX) const {
    double lowest = 0, highest = 0;
    return copiesMet(minX, maxX, lowest, highest);
}

bool ViewCullRegion::containsPoint(ViewPoint p) const {
    return p.y >= m_rect.y && p.y <= m_rect.maxY() && meetsCopies(p.x, p.x);
}

bool ViewCullRegion::mayContainSegment(ViewPoint a, ViewPoint b) const {
    if (std::max(a.y, b.y) < m_rect.y || std::min(a.y, b.y) > m_rect.maxY())
        return false;
    return meetsCopies(std::min(a.x, b.x), std::max(a.x, b.x));
}

bool ViewCullRegion::clipSegment(ViewPoint& a, ViewPoint& b) const {
    // The box around the copies the segment meets: usually one, so nothing kept lies much
    // beyond the region.
    double lowest = 0, highest = 0;
    if (!copiesMet(std::min(a.x, b.x), std::max(a.x, b.x), lowest, highest))
        return false;
    const double minX = m_rect.x - highest * m_worldSize;
    const double maxX = m_rect.maxX() - lowest * m_worldSize;
    const double dx = b.x - a.x, dy = b.y - a.y;
    double t0 = 0, t1 = 1;
    // Liang-Barsky: narrow [t0, t1] against each of the four edges.
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - minX, maxX - a.x, a.y - m_rect.y, m_rect.maxY() - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const ViewPoint start = a;
    if (t0 > 0)
        a = {start.x + t0 * dx, start.y + t0 * dy};
    if (t1 < 1)
        b = {start.x + t1 * dx, start.y + t1 * dy};
    return true;
}

} // namespace wend
