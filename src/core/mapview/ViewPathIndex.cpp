#include "core/mapview/ViewPathIndex.h"

#include <algorithm>

namespace wend {

ViewPathIndex::ViewPathIndex(const ViewPath& path) : m_path(path) {
    for (std::size_t line = 0; line < path.polylineCount(); ++line) {
        const auto points = path.polyline(line);
        for (std::size_t first = 0; first + 1 < points.size(); first += kChunkSegments) {
            const std::size_t last = std::min(first + kChunkSegments, points.size() - 1);
            Chunk chunk{points[first].x, points[first].y, points[first].x, points[first].y,
                        line, first, last};
            for (std::size_t i = first + 1; i <= last; ++i) {
                chunk.minX = std::min(chunk.minX, points[i].x);
                chunk.maxX = std::max(chunk.maxX, points[i].x);
                chunk.minY = std::min(chunk.minY, points[i].y);
                chunk.maxY = std::max(chunk.maxY, points[i].y);
            }
            m_chunks.push_back(chunk);
        }
    }
}

ViewPathIndex::VisibleParts ViewPathIndex::visibleParts(ViewRect rect, double reach) const {
    const double minX = rect.x - reach, maxX = rect.maxX() + reach;
    const double minY = rect.y - reach, maxY = rect.maxY() + reach;
    auto touches = [&](const Chunk& c) {
        return c.maxX >= minX && c.minX <= maxX && c.maxY >= minY && c.minY <= maxY;
    };

    VisibleParts parts;
    const Chunk* runStart = nullptr;
    const Chunk* runEnd = nullptr;
    auto closeRun = [&] {
        if (runStart) {
            const auto points = m_path.polyline(runStart->polyline);
            parts.runs.push_back(points.subspan(runStart->first, runEnd->last - runStart->first + 1));
        }
        runStart = runEnd = nullptr;
    };
    for (const Chunk& chunk : m_chunks) {
        if (!touches(chunk)) {
            closeRun();
            continue;
        }
        if (runStart && runEnd->polyline != chunk.polyline)
            closeRun();
        if (!runStart)
            runStart = &chunk;
        runEnd = &chunk;
    }
    closeRun();

    for (const ViewPoint& dot : m_path.dots()) {
        if (dot.x >= minX && dot.x <= maxX && dot.y >= minY && dot.y <= maxY)
            parts.dots.push_back(dot);
    }
    return parts;
}

} // namespace wend
