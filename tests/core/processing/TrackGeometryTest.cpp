#include "core/processing/TrackGeometry.h"

#include "AlgorithmFixtures.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace wend;
using namespace wend::testing;

TEST(TrackGeometry, ClosestPointPrefersTheEarlierOnTiesAndHandlesEmptyItems) {
    auto empty = GPSItem::item();
    double distance = 5;
    EXPECT_EQ(TrackGeometry::closestPointToPoint(*empty, 0, 0, &distance), nullptr);
    EXPECT_TRUE(std::isnan(distance));
    EXPECT_EQ(TrackGeometry::indexOfClosestPointToPoint(*empty, 0, 0), TrackGeometry::NotFound);

    auto track = makeTrack({{0, 0}, {2, 0}, {4, 0}, {1, 0}});
    EXPECT_EQ(TrackGeometry::closestPointToPoint(*track, 1, 3, &distance), track->itemPoints()[3]);
    EXPECT_DOUBLE_EQ(distance, 3.0);
    EXPECT_EQ(TrackGeometry::indexOfClosestPointToPoint(*track, 3, 0), 1u); // 1 and 2 tie
    EXPECT_EQ(TrackGeometry::indexOfClosestPointToPoint(*track, 4.2, 1), 2u);
}

TEST(TrackGeometry, ClosestSegmentMeasuresToTheSegmentNotTheLine) {
    auto track = makeTrack({{0, 0}, {2, 0}});
    double distance = 0;
    EXPECT_EQ(TrackGeometry::closestLineSegmentToPoint(*track, 1, 1, &distance), 0u);
    EXPECT_DOUBLE_EQ(distance, 1.0); // beside the segment
    EXPECT_EQ(TrackGeometry::closestLineSegmentToPoint(*track, 3, 0, &distance), 0u);
    EXPECT_DOUBLE_EQ(distance, 1.0); // beyond B
    TrackGeometry::closestLineSegmentToPoint(*track, -3, 4, &distance);
    EXPECT_DOUBLE_EQ(distance, 5.0); // before A

    auto onePoint = makeTrack({{0, 0}});
    EXPECT_EQ(TrackGeometry::closestLineSegmentToPoint(*onePoint, 0, 0, &distance),
              TrackGeometry::NotFound);
    EXPECT_TRUE(std::isnan(distance));
    // An L-shaped track: the probe is nearer the second leg; a tie keeps the first segment.
    auto bend = makeTrack({{0, 0}, {2, 0}, {2, 2}});
    EXPECT_EQ(TrackGeometry::closestLineSegmentToPoint(*bend, 2.5, 1.5), 1u);
    EXPECT_EQ(TrackGeometry::closestLineSegmentToPoint(*bend, 3, -1), 0u);
    // A segment on one spot has a real distance (NaN would win or lose every comparison).
    auto stacked = makeTrack({{0, 0}, {0, 0}, {10, 0}});
    EXPECT_EQ(TrackGeometry::closestLineSegmentToPoint(*stacked, 0, -1, &distance), 0u);
    EXPECT_DOUBLE_EQ(distance, 1.0);
}

TEST(TrackGeometry, SelectionByIdentityAndBoundsOfEveryPoint) {
    auto track = makeTrack({{0, 0}, {1, 0}, {2, 0}, {3, 0}});
    selectRanges(*track, {{1, 1}});
    EXPECT_FALSE(TrackGeometry::pointIsSelected(*track, track->itemPoints()[0].get()));
    EXPECT_TRUE(TrackGeometry::pointIsSelected(*track, track->itemPoints()[2].get()));
    EXPECT_FALSE(TrackGeometry::pointIsSelected(*track, track->itemPoints()[1]->copy().get()));
    EXPECT_FALSE(TrackGeometry::pointIsSelectedAtIndex(*track, 3));

    WorldRect bounds =
        TrackGeometry::boundsOfGPSItems({makeTrack({{8, 47.5}, {9, 48}}), makeTrack({{8.5, 47}})});
    EXPECT_EQ(std::vector({bounds.x, bounds.y, bounds.width, bounds.height}),
              std::vector({8.0, 47.0, 1.0, 1.0}));
    EXPECT_TRUE(TrackGeometry::boundsOfGPSItems({}).isNull());
    EXPECT_TRUE(std::isnan(TrackGeometry::boundsOfGPSItems({GPSItem::item()}).width));
}

TEST(TrackGeometry, OffsetMovesCopiesAndWraps) {
    auto track = makeTrack({{179.5, 10}, {0, 89.5}, {1, 1}});
    selectRanges(*track, {{0, 1}});
    auto other = track->copy(); // shares the point objects
    const auto before = stateOf({other});
    const GPSPointPtr unselected = track->itemPoints()[2];

    TrackGeometry::offsetPointsByDistance(*track, 1, 0.75, true);
    const PointList& moved = track->itemPoints();
    ASSERT_EQ(moved.size(), 3u);
    EXPECT_DOUBLE_EQ(moved[0]->longitude(), -179.5);
    EXPECT_DOUBLE_EQ(moved[0]->latitude(), 10.75);
    EXPECT_DOUBLE_EQ(moved[1]->latitude(), -89.75);
    EXPECT_EQ(moved[2], unselected);
    EXPECT_EQ(stateOf({other}), before); // the shared points did not move

    TrackGeometry::offsetPointsByDistance(*track, 1, 0, false);
    EXPECT_DOUBLE_EQ(track->itemPoints()[2]->longitude(), 2);
    EXPECT_NE(track->itemPoints()[2], unselected);
}

TEST(TrackGeometry, SortByTimeIsStableAndPutsUntimedPointsFirst) {
    auto backwards = makeTrack({{0, 0, 30}, {1, 0, 20}, {2, 0, 10}});
    const PointList original = backwards->itemPoints();
    TrackGeometry::sortPointsByTimestamp(*backwards);
    EXPECT_EQ(backwards->itemPoints(), (PointList{original[2], original[1], original[0]}));

    auto mixed =
        makeTrack({{0, 0, 20}, {1, 0, {}}, {2, 0, 10}, {3, 0, 20}, {4, 0, {}}, {5, 0, 10}});
    selectRanges(*mixed, {{0, 1}});
    const PointList p = mixed->itemPoints();
    TrackGeometry::sortPointsByTimestamp(*mixed);
    EXPECT_EQ(mixed->itemPoints(), (PointList{p[1], p[4], p[2], p[5], p[0], p[3]}));
    EXPECT_EQ(mixed->itemSelection().ranges(), (std::vector<IndexRange>{{0, 1}}));
}
