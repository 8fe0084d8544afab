#include "core/mapview/ViewPathIndex.h"

#include <gtest/gtest.h>

namespace wend {
namespace {

// A horizontal polyline from x = 0 to x = count - 1 at height y, a point per unit.
void addLine(ViewPath& path, std::size_t count, double y) {
    path.moveTo({0, y});
    for (std::size_t i = 1; i < count; ++i)
        path.lineTo({static_cast<double>(i), y});
}

std::vector<std::pair<double, double>> runExtents(const ViewPathIndex::VisibleParts& parts) {
    std::vector<std::pair<double, double>> extents;
    for (const auto& run : parts.runs)
        extents.emplace_back(run.front().x, run.back().x);
    return extents;
}

TEST(ViewPathIndex, KeepsWholeChunksThatTouchTheRectangleAndJoinsNeighbours) {
    constexpr double n = ViewPathIndex::kChunkSegments;
    ViewPath path;
    addLine(path, 4 * ViewPathIndex::kChunkSegments + 1, 0); // chunks [0,n] [n,2n] [2n,3n] [3n,4n]
    const ViewPathIndex index(path);

    // Everything in view: one run of every point, so the line's joins are all kept.
    auto parts = index.visibleParts({-10, -10, 1000, 20}, 0);
    ASSERT_EQ(parts.runs.size(), 1u);
    EXPECT_EQ(parts.runs[0].size(), path.polyline(0).size());

    // A rectangle over the second and third chunks gives one run from n to 3n.
    parts = index.visibleParts({n + 1, -1, n, 2}, 0);
    EXPECT_EQ(runExtents(parts), (std::vector<std::pair<double, double>>{{n, 3 * n}}));

    // Nothing of the line lies above it, but a wide enough stroke reaches into the view.
    EXPECT_TRUE(index.visibleParts({0, 5, 10, 10}, 4).runs.empty());
    EXPECT_EQ(index.visibleParts({0, 5, 10, 10}, 6).runs.size(), 1u);
}

TEST(ViewPathIndex, SplitsRunsAtHiddenChunksAndBetweenPolylines) {
    constexpr double n = ViewPathIndex::kChunkSegments;
    ViewPath path;
    // A line along y = 0 that leaves for y = 100 after the first chunk and returns in the
    // fourth: the third chunk lies wholly outside the rectangle.
    constexpr std::size_t k = ViewPathIndex::kChunkSegments;
    path.moveTo({0, 0});
    for (std::size_t i = 1; i <= 4 * k; ++i)
        path.lineTo({static_cast<double>(i), i <= k || i > 3 * k ? 0.0 : 100.0});
    addLine(path, 10, 1); // a second polyline beside the first chunk
    path.addDot({5, 2});
    path.addDot({500, 500});
    const ViewPathIndex index(path);

    const auto parts = index.visibleParts({0, -5, 4 * n + 1, 10}, 0);
    EXPECT_EQ(runExtents(parts),
              (std::vector<std::pair<double, double>>{{0, 2 * n}, {3 * n, 4 * n}, {0, 9}}));
    ASSERT_EQ(parts.dots.size(), 1u);
    EXPECT_EQ(parts.dots[0], (ViewPoint{5, 2}));
}

} // namespace
} // namespace wend
