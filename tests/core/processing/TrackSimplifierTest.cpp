#include "core/processing/TrackSimplifier.h"

#include "AlgorithmFixtures.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

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

// The removal loop written out as the rule states it, erasing from the list one by one.
std::uint64_t referenceOptimize(PointList& points, double strength, IndexRange range) {
    const std::uint64_t count = points.size();
    const std::uint64_t start = std::min<std::uint64_t>(range.location, count);
    const std::uint64_t n = std::min<std::uint64_t>(range.length, count - start);
    if (n < 2)
        return 0;
    const double pi = 3.141592653589793;
    const double threshold = strength * pi / 4;
    std::int64_t i = static_cast<std::int64_t>(start);
    std::int64_t end = static_cast<std::int64_t>(start + n) - 2;
    while (i < end) {
        const auto &a = *points[i], &b = *points[i + 1], &c = *points[i + 2];
        const double t1 = std::atan2(a.latitude() - b.latitude(), a.longitude() - b.longitude());
        const double t2 = std::atan2(b.latitude() - c.latitude(), b.longitude() - c.longitude());
        double turn = std::fabs(t1 - t2);
        if (turn > pi)
            turn = 2 * pi - turn;
        if (threshold > turn) {
            points.erase(points.begin() + i + 1);
            i = std::max<std::int64_t>(static_cast<std::int64_t>(start), i - 2);
            --end;
        }
        ++i;
    }
    return count - points.size();
}
} // namespace

TEST(TrackSimplifier, StraightLinesKeepTheDocumentedPoints) {
    auto five = straightLine(5);
    const PointList fivePoints = five->itemPoints();
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*five, 0.25, {0, 4}), 1u);
    EXPECT_EQ(keptIndexes(fivePoints, five->itemPoints()), (std::vector<std::size_t>{0, 2, 3, 4}));

    auto ten = straightLine(10);
    const PointList tenPoints = ten->itemPoints();
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*ten, 0.25), 6u);
    EXPECT_EQ(keptIndexes(tenPoints, ten->itemPoints()), (std::vector<std::size_t>{0, 2, 8, 9}));
}

TEST(TrackSimplifier, CornersSurviveBelowTheirAngleAndTinyRangesAreLeftAlone) {
    auto corner = makeTrack({{1, 1}, {0, 0}, {-1, 1}, {-2, 2}});
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*corner, 1.9, {0, 3}), 0u);
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*corner, 2.1, {0, 3}), 1u);
    EXPECT_EQ(corner->itemPoints().size(), 3u);
    EXPECT_DOUBLE_EQ(corner->itemPoints()[1]->longitude(), -1);

    auto line = straightLine(6);
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*line, 1, {0, 2}), 0u); // two points taken
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*line, 1, {4, 9}), 0u); // clipped to two
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*line, 1, {9, 3}), 0u);
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*line, 1, {IndexRange::NotFound, 5}), 0u);
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*line, std::nan(""), {0, 5}), 0u);
    auto single = straightLine(1);
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*single, 1), 0u);
    auto none = GPSItem::item();
    EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*none, 1), 0u);
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

TEST(TrackSimplifier, MatchesTheRuleOnRandomWalks) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> step(-1, 1);
    for (int round = 0; round < 200; ++round) {
        std::vector<TestPoint> rows;
        double lon = 0, lat = 0;
        const int count = 2 + round % 40;
        for (int i = 0; i < count; ++i) {
            lon += 1 + 0.3 * step(random); // mostly eastwards, so the seam is crossed often
            lat += 0.3 * step(random);
            rows.push_back({lon > 180 ? lon - 360 : lon, lat});
        }
        auto track = makeTrack(rows);
        const double strength = 0.05 + (round % 9) * 0.2;
        const IndexRange range{static_cast<std::uint64_t>(round % 5),
                               static_cast<std::uint64_t>(count - round % 7)};
        PointList expected = track->itemPoints();
        const std::uint64_t expectedRemoved = referenceOptimize(expected, strength, range);
        EXPECT_EQ(TrackSimplifier::optimizeWithStrength(*track, strength, range), expectedRemoved);
        EXPECT_EQ(track->itemPoints(), expected) << "round " << round;
    }
}

TEST(TrackSimplifier, MutatedItemsShiftAndShrinkEachSelectedStretch) {
    auto track = straightLine(20);
    selectRanges(*track, {{0, 9}, {12, 6}}); // two straight stretches
    auto untouched = straightLine(5);
    const ItemList originals{track, untouched};
    const auto before = snapshot(originals);

    const ItemList result = TrackSimplifier::mutatedItems(originals, 0.25);
    ASSERT_EQ(result.size(), 2u);
    EXPECT_TRUE(unchanged(originals, before));
    EXPECT_NE(result[0], track);
    EXPECT_NE(result[1], untouched);
    EXPECT_EQ(result[1]->itemPoints(), untouched->itemPoints());

    // The second stretch is simplified after shifting it back by the first one's removals.
    PointList second = track->itemPoints();
    std::uint64_t removedFirst = referenceOptimize(second, 0.25, {0, 9});
    std::uint64_t removedSecond = referenceOptimize(second, 0.25, {12 - removedFirst, 6});
    EXPECT_EQ(removedFirst, 6u);
    EXPECT_EQ(removedSecond, 3u);
    EXPECT_EQ(result[0]->itemPoints(), second);
    EXPECT_EQ(
        result[0]->itemSelection().ranges(),
        (std::vector<IndexRange>{{0, 9 - removedFirst}, {12 - removedFirst, 6 - removedSecond}}));
    EXPECT_EQ(TrackSimplifier::numPointsInItems(originals), 15u);
    EXPECT_EQ(TrackSimplifier::numPointsInItems(result), 15u - removedFirst - removedSecond);
}

TEST(TrackSimplifier, TinyStrengthsReturnTheOriginalsAndLabelsFormat) {
    auto track = straightLine(10);
    selectAll(*track);
    const ItemList originals{track};
    const ItemList same = TrackSimplifier::mutatedItems(originals, 0.00009);
    EXPECT_EQ(same, originals);
    EXPECT_EQ(TrackSimplifier::mutatedItems(originals, std::nan("")), originals);

    EXPECT_EQ(TrackSimplifier::optimizationStrengthString(0.25), "Optimization Strength: 0.25");
    EXPECT_EQ(TrackSimplifier::pointsRemovedString(9, 3), "6 (67%) points removed");
    EXPECT_EQ(TrackSimplifier::pointsRemovedString(0, 0), "0 (0%) points removed");
    EXPECT_EQ(TrackSimplifier::pointsRemovedString(4, 4), "0 (0%) points removed");
}
