#include "core/mapview/PointChunks.h"

#include <algorithm>
#include <cmath>

namespace wend {

namespace {
bool isPositioned(ViewPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}
} // namespace

void PointChunks::compute(const std::vector<ViewPoint>& unit, std::size_t index) {
    Chunk chunk;
    auto include = [&](ViewPoint p) {
        if (!chunk.bounded) {
            chunk.minX = chunk.maxX = p.x;
            chunk.minY = chunk.maxY = p.y;
            chunk.bounded = true;
            return;
        }
        chunk.minX = std::min(chunk.minX, p.x);
        chunk.maxX = std::max(chunk.maxX, p.x);
        chunk.minY = std::min(chunk.minY, p.y);
        chunk.maxY = std::max(chunk.maxY, p.y);
    };
    const std::ptrdiff_t before = index > 0 ? m_chunks[index - 1].lastUpTo : -1;
    if (before >= 0)
        include(unit[static_cast<std::size_t>(before)]);
    const std::size_t begin = index * kPoints;
    const std::size_t end = std::min(begin + kPoints, unit.size());
    for (std::size_t i = begin; i < end; ++i) {
        if (!isPositioned(unit[i]))
            continue;
        include(unit[i]);
        chunk.ownLast = static_cast<std::ptrdiff_t>(i);
    }
    chunk.lastUpTo = chunk.ownLast >= 0 ? chunk.ownLast : before;
    m_chunks[index] = chunk;
}

void PointChunks::update(const std::vector<ViewPoint>& unit, std::size_t first, std::size_t end) {
    const std::size_t count = (unit.size() + kPoints - 1) / kPoints;
    m_chunks.resize(count);
    const std::size_t lastChanged = end > 0 ? (end - 1) / kPoints : 0;
    for (std::size_t c = first / kPoints; c < count; ++c) {
        compute(unit, c);
        // Past the change a chunk differs only by the point before it, and one with a
        // positioned point of its own ends what the change can reach.
        if (c > lastChanged && m_chunks[c].ownLast >= 0)
            break;
    }
}

void PointChunks::Skips::keepEnds(const std::vector<IndexRange>& ranges) {
    for (const IndexRange& range : ranges)
        for (const std::uint64_t point : {range.location, range.end()})
            if (point / kPoints < outside.size())
                outside[point / kPoints] = 0;
}

PointChunks::Skips PointChunks::outsideOf(const ViewCullRegion& region,
                                          const ScreenTransform& screen) const {
    Skips skips;
    skips.chunks = this;
    skips.outside.resize(m_chunks.size());
    for (std::size_t c = 0; c < m_chunks.size(); ++c) {
        const Chunk& chunk = m_chunks[c];
        // The points' own transform, which keeps their order: the corners bound every point
        // exactly.
        skips.outside[c] = !chunk.bounded ||
                           !region.mayContainSegment(screen({chunk.minX, chunk.minY}),
                                                     screen({chunk.maxX, chunk.maxY}));
    }
    return skips;
}

} // namespace wend
