#pragma once

#include "core/mapview/ViewPath.h"

#include <cstddef>
#include <span>
#include <vector>

namespace wend {

// Finds the parts of a ViewPath that can show in a rectangle, so that a redraw strokes only
// those. The drawing caches keep paths for a region several times the view's size, and the
// stroker's work grows with every segment it is given, on screen or not. Each polyline is
// cut into chunks of kChunkSegments segments with their bounds; consecutive chunks that touch
// the rectangle join into one run, so the lines stay continuous where they are seen.
class ViewPathIndex {
public:
    static constexpr std::size_t kChunkSegments = 8;

    struct VisibleParts {
        // Stretches of polylines, each of at least two points.
        std::vector<std::span<const ViewPoint>> runs;
        std::vector<ViewPoint> dots;
    };

    // The path must outlive the index and stay unchanged.
    explicit ViewPathIndex(const ViewPath& path);

    // What may be seen in `rect` when every point lies within `reach` of a line's course (half
    // the widest stroke drawn along it): whole chunks, so runs may reach beyond the rectangle.
    VisibleParts visibleParts(ViewRect rect, double reach) const;

private:
    struct Chunk {
        double minX, minY, maxX, maxY;
        std::size_t polyline;
        std::size_t first; // index of the first point within the polyline
        std::size_t last;  // index of the last point, the next chunk's first
    };

    const ViewPath& m_path;
    std::vector<Chunk> m_chunks;
};

} // namespace wend
