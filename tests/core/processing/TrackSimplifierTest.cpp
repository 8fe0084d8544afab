#include "core/processing/TrackSimplifier.h"

#include "AlgorithmFixtures.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace wend;
using namespace wend::testing;

namespace {
GPSItemPtr straightLine(int count) {
    std::vector<TestPoint> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({0.001 * i, 0.002 * i});
    return makeTrack(rows);
}

std::vector<std::size_t> keptIndexes(const PointList& original, const PointList& now) {
    std::vector<std::size_t> indexes;
    for (const auto& p : now)
        indexes.push_back(static_cast<std::size_t>(std::find(original.begin(), original.end(), p) -
                                                   original.begin()));
    return indexes;
}

} // namespace

TEST(TrackSimplifier, CornersSurviveBelowTheirAngleAndTinyRangesAreLeftAlone) {
    auto corner = makeTrack({{1, 1}, {0, 0}, {-1, 1}, {-2, 2}});
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*corner, 1.9, {0, 3}), 0u);
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*corner, 2.1, {0, 3}), 1u);
    EXPECT_EQ(corner->itemPoints().size(), 3u);
    EXPECT_DOUBLE_EQ(corner->itemPoints()[1]->longitude(), -1);

    auto line = straightLine(6);
    // Two points taken, clipped to two, beyond the end, no range.
    for (IndexRange range : {IndexRange{0, 2}, IndexRange{4, 9}, IndexRange{9, 3},
                             IndexRange{IndexRange::NotFound, 5}})
        EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*line, 1, range), 0u);
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*line, std::nan(""), {0, 5}), 0u);
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*straightLine(1), 1), 0u);
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*GPSItem::item(), 1), 0u);
}

TEST(TrackSimplifier, CoursesAlongTheDateLineSeamCountAsStraight) {
    // Heading due east: every segment direction is atan2(0, negative) = ±pi, and a tiny
    // wobble flips its sign. The turn is still nearly zero.
    auto east = makeTrack({{0, 0}, {1, 0.0001}, {2, -0.0001}, {3, 0.0001}, {4, 0}, {5, 0}});
    const PointList eastPoints = east->itemPoints();
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*east, 0.1), 2u);
    EXPECT_EQ(keptIndexes(eastPoints, east->itemPoints()), (std::vector<std::size_t>{0, 2, 4, 5}));
    // A real U-turn stays.
    auto back = makeTrack({{0, 0}, {1, 0}, {0, 0.0001}});
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*back, 3.9), 0u);
}

TEST(TrackSimplifier, MutatedItemsShiftAndShrinkEachSelectedStretch) {
    auto track = straightLine(20);
    selectRanges(*track, {{0, 9}, {12, 6}}); // two straight stretches
    auto untouched = straightLine(5);
    const ItemList originals{track, untouched};
    const auto before = stateOf(originals);

    const ItemList result = TrackSimplifier::mutatedItems(originals, 0.25);
    ASSERT_EQ(result.size(), 2u);
    EXPECT_EQ(stateOf(originals), before);
    EXPECT_EQ(result[1]->itemPoints(), untouched->itemPoints());
    // The second stretch is simplified after shifting it back by the first one's six removals.
    EXPECT_EQ(keptIndexes(track->itemPoints(), result[0]->itemPoints()),
              (std::vector<std::size_t>{0, 2, 8, 9, 10, 11, 12, 14, 17, 18, 19}));
    EXPECT_EQ(result[0]->itemSelection().ranges(), (std::vector<IndexRange>{{0, 3}, {6, 3}}));
    EXPECT_EQ(TrackSimplifier::numPointsInItems(originals), 15u);
    EXPECT_EQ(TrackSimplifier::numPointsInItems(result), 6u);
}

TEST(TrackSimplifier, TinyStrengthsReturnTheOriginals) {
    auto track = straightLine(10);
    selectAll(*track);
    const ItemList originals{track};
    EXPECT_EQ(TrackSimplifier::mutatedItems(originals, 0.00009), originals);
    EXPECT_EQ(TrackSimplifier::mutatedItems(originals, std::nan("")), originals);
}
