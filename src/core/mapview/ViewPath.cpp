#include "core/mapview/ViewPath.h"

#include <algorithm>

namespace wend {

namespace {
// cos and sin of the barbs' angle from the shaft, at the precision the arrows were drawn with.
constexpr double kBarbCos = -0.8660253647886887;
constexpr double kBarbSin = 0.5000000675426141;
constexpr double kBarbLength = 5;
constexpr double kShaftLength = 10;
} // namespace

void ViewPath::include(ViewPoint p) {
    if (isEmpty()) {
        m_minX = m_maxX = p.x;
        m_minY = m_maxY = p.y;
        return;
    }
    m_minX = std::min(m_minX, p.x);
    m_maxX = std::max(m_maxX, p.x);
    m_minY = std::min(m_minY, p.y);
    m_maxY = std::max(m_maxY, p.y);
}

void ViewPath::moveTo(ViewPoint p) {
    m_pendingMove = p;
    m_hasPendingMove = true;
    m_inPolyline = false;
}

void ViewPath::lineTo(ViewPoint p) {
    if (m_hasPendingMove) {
        include(m_pendingMove);
        m_starts.push_back(m_points.size());
        m_points.push_back(m_pendingMove);
        m_hasPendingMove = false;
        m_inPolyline = true;
    }
    if (!m_inPolyline)
        return; // a line with no start draws nothing
    include(p);
    m_points.push_back(p);
}

void ViewPath::addDot(ViewPoint p) {
    include(p);
    m_dots.push_back(p);
    m_hasPendingMove = false;
    m_inPolyline = false;
}

void ViewPath::addArrow(ViewPoint tip, ViewPoint d) {
    const double x = tip.x, y = tip.y;
    moveTo(tip);
    lineTo({x + kBarbLength * (d.x * kBarbCos + d.y * kBarbSin),
            y + kBarbLength * (d.y * kBarbCos - d.x * kBarbSin)});
    moveTo(tip);
    lineTo({x + kBarbLength * (d.x * kBarbCos - d.y * kBarbSin),
            y + kBarbLength * (d.y * kBarbCos + d.x * kBarbSin)});
    moveTo(tip);
    lineTo({x - kShaftLength * d.x, y - kShaftLength * d.y});
}

std::span<const ViewPoint> ViewPath::polyline(std::size_t index) const {
    const std::size_t begin = m_starts[index];
    const std::size_t end = index + 1 < m_starts.size() ? m_starts[index + 1] : m_points.size();
    return std::span<const ViewPoint>(m_points.data() + begin, end - begin);
}

ViewRect ViewPath::bounds() const {
    if (isEmpty())
        return {};
    return {m_minX, m_minY, m_maxX - m_minX, m_maxY - m_minY};
}

} // namespace wend
