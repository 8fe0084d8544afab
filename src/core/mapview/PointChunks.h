#pragma once

#include "core/mapview/MapViewTypes.h"
#include "core/mapview/ScreenTransform.h"
#include "core/mapview/ViewCullRegion.h"
#include "core/model/IndexRange.h"

#include <cstddef>
#include <vector>

namespace wend {

// An item's point positions (in the unit world of ProjectedPointCache) cut into chunks of
// kPoints with the bounds of each chunk, the last positioned point before it included, so
// every segment that ends in a chunk lies within its bounds. A rebuild of the drawing caches
// passes over the chunks that lie outside the region it keeps without looking at their
// points: it costs what the region holds, not what the track holds.
class PointChunks {
public:
    static constexpr std::size_t kPoints = 256;

    // Which chunks a build for one region may pass over.
    struct Skips {
        const PointChunks* chunks = nullptr;
        std::vector<char> outside;

        bool skips(std::size_t chunk) const { return chunk < outside.size() && outside[chunk]; }
        // Keeps the chunks holding the first and last points of the stretches: a walk over a
        // stretch reads those whatever the region.
        void keepEnds(const std::vector<IndexRange>& ranges);
    };

    // Brings the bounds up to date after the positions in [first, end) changed (when their
    // count changed, `end` is the new count).
    void update(const std::vector<ViewPoint>& unitPositions, std::size_t first, std::size_t end);
    std::size_t count() const { return m_chunks.size(); }
    // The last point of the chunk that has a position; -1 for none.
    std::ptrdiff_t lastPositioned(std::size_t chunk) const { return m_chunks[chunk].ownLast; }
    // The chunks whose points cannot meet the region once placed on the screen.
    Skips outsideOf(const ViewCullRegion& region, const ScreenTransform& screen) const;

private:
    struct Chunk {
        double minX = 0, minY = 0, maxX = 0, maxY = 0;
        bool bounded = false;
        std::ptrdiff_t ownLast = -1; // the chunk's own last positioned point
        std::ptrdiff_t lastUpTo = -1; // the last positioned point up to the chunk's end
    };

    void compute(const std::vector<ViewPoint>& unitPositions, std::size_t chunk);

    std::vector<Chunk> m_chunks;
};

} // namespace wend
