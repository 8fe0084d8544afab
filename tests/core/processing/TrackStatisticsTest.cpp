#include "core/processing/TrackStatistics.h"

#include "AlgorithmFixtures.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace wend;
using namespace wend::testing;

namespace {

void expectAllNaN(std::initializer_list<double> figures) {
    for (double f : figures)
        EXPECT_TRUE(std::isnan(f)) << f;
}

} // namespace

TEST(TrackStatistics, EmptyAndSinglePointItems) {
    EXPECT_FALSE(basicStatisticsIgnoringOutliers(*GPSItem::item(), true).has_value());

    auto single = trackWith({pointAt(0, 250, 0)});
    single->itemPoints()[0]->setDistance(7);
    for (bool ignore : {false, true}) {
        const auto s = basicStatisticsIgnoringOutliers(*single, ignore);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->totalDistance + s->distanceAscended + s->distanceDescended, 0.0);
        EXPECT_EQ(s->minimumElevation + s->maximumElevation + s->averageElevation, 750.0);
        expectAllNaN({s->totalDuration, s->averageSpeed, s->maxSpeed, s->averageClimbingGradient,
                      s->maxClimbingGradient, s->averageDescendingGradient,
                      s->maxDescendingGradient});
    }
    // The first point's derived values are never written.
    EXPECT_EQ(single->itemPoints()[0]->distance(), 7.0);

    const auto bare =
        basicStatisticsIgnoringOutliers(*trackWith({pointAt(0, kNoElevation, {})}), true);
    ASSERT_TRUE(bare);
    expectAllNaN({bare->minimumElevation, bare->maximumElevation, bare->averageElevation});
}

TEST(TrackStatistics, TwoLevelPointsOneHundredMetresApart) {
    auto track = trackWith({pointAt(0, 50, 0), pointAt(100, 50, 10)});
    const auto s = basicStatisticsIgnoringOutliers(*track, true);
    ASSERT_TRUE(s);
    EXPECT_NEAR(s->totalDistance, 100, 1e-6);
    EXPECT_EQ(s->totalDuration, 10);
    EXPECT_NEAR(s->averageSpeed, 10, 1e-7);
    EXPECT_NEAR(s->maxSpeed, 10, 1e-7);
    EXPECT_EQ(s->distanceAscended + s->distanceDescended, 0);
    expectAllNaN({s->averageClimbingGradient, s->maxDescendingGradient});
    const auto& second = *track->itemPoints()[1];
    EXPECT_NEAR(second.distance(), 100, 1e-6);
    EXPECT_NEAR(second.speed(), 10, 1e-7);
    EXPECT_EQ(second.gradient(), 0);
    // Equal first and last times give no duration.
    auto loop = trackWith({pointAt(0, 50, 0), pointAt(100, 50, 10), pointAt(200, 50, 0.0004)});
    EXPECT_TRUE(std::isnan(basicStatisticsIgnoringOutliers(*loop, false)->totalDuration));
}

TEST(TrackStatistics, PointsAtTheSameTimeOrPlaceAreNotCounted) {
    auto sameTime = pointAt(50, 50, 10);
    auto samePlace = pointAt(100, 80, 20);
    for (const auto& p : {sameTime, samePlace}) {
        p->setDistance(-1);
        p->setSpeed(-1);
        p->setGradient(-1);
    }
    auto track = trackWith(
        {pointAt(0, 50, 0), pointAt(100, 50, 10), sameTime, samePlace, pointAt(300, 50, 30)});
    const auto s = basicStatisticsIgnoringOutliers(*track, false);
    ASSERT_TRUE(s);
    // 100 m, then 200 m measured from the second point over 20 s.
    EXPECT_NEAR(s->totalDistance, 300, 1e-6);
    EXPECT_NEAR(track->itemPoints()[4]->speed(), 10, 1e-7);
    EXPECT_NEAR(track->itemPoints()[4]->distance(), 300, 1e-6);
    // The skipped elevation of 80 m left no trace.
    EXPECT_EQ(s->maximumElevation, 50);
    EXPECT_EQ(s->distanceAscended, 0);
    for (const auto& p : {sameTime, samePlace})
        EXPECT_EQ(p->distance() + p->speed() + p->gradient(), -3);
}

TEST(TrackStatistics, SlowSegmentsCountForDistanceOnly) {
    auto slow = trackWith({pointAt(0, 0, 0), pointAt(5, 0, 10), pointAt(10, 0, 20)});
    const auto s = basicStatisticsIgnoringOutliers(*slow, false);
    EXPECT_NEAR(s->totalDistance, 10, 1e-7);
    EXPECT_TRUE(std::isnan(s->averageSpeed));
    EXPECT_TRUE(std::isnan(s->maxSpeed));
    EXPECT_NEAR(slow->itemPoints()[2]->speed(), 0.5, 1e-9);

    auto mixed = trackWith({pointAt(0, 0, 0), pointAt(5, 0, 10), pointAt(105, 0, 20)});
    const auto m = basicStatisticsIgnoringOutliers(*mixed, false);
    EXPECT_NEAR(m->totalDistance, 105, 1e-6);
    EXPECT_NEAR(m->maxSpeed, 10, 1e-7);
}

TEST(TrackStatistics, ClimbDescentAndGradients) {
    auto track = trackWith({pointAt(0, 100, 0), pointAt(100, 110, 10), pointAt(200, 105, 20)});
    const auto s = basicStatisticsIgnoringOutliers(*track, true);
    ASSERT_TRUE(s);
    EXPECT_NEAR(s->distanceAscended, 10, 1e-9);
    EXPECT_NEAR(s->distanceDescended, 5, 1e-9);
    EXPECT_NEAR(s->averageClimbingGradient, 0.1, 1e-9);
    EXPECT_NEAR(s->maxDescendingGradient, -0.05, 1e-9);
    EXPECT_EQ(s->minimumElevation, 100);
    // Smoothed: 100, 105, then (100 + 110 + 105) / 3.
    EXPECT_EQ(s->maximumElevation, 105);
    EXPECT_NEAR(s->totalDistance, std::hypot(100, 10) + std::hypot(100, 5), 1e-6);
    EXPECT_NEAR(track->itemPoints()[1]->gradient(), 0.1, 1e-9);
    EXPECT_NEAR(track->itemPoints()[2]->gradient(), -0.05, 1e-9);
    // The steepest descent is the most negative gradient, not the gentlest.
    auto down = trackWith({pointAt(0, 100, 0), pointAt(100, 95, 10), pointAt(200, 80, 20)});
    EXPECT_LT(basicStatisticsIgnoringOutliers(*down, false)->maxDescendingGradient, -0.06);
}

TEST(TrackStatistics, MissingValuesSpoilOnlyTheirFigures) {
    // One untimed point: no speed figures, everything else stays.
    auto untimed = trackWith({pointAt(0, 100, 0), pointAt(100, 110, {}), pointAt(200, 120, 20)});
    const auto u = basicStatisticsIgnoringOutliers(*untimed, false);
    expectAllNaN({u->averageSpeed, u->maxSpeed});
    EXPECT_EQ(u->totalDuration, 20);
    EXPECT_NEAR(u->distanceAscended, 20, 1e-9);
    EXPECT_NEAR(u->maxClimbingGradient, 0.1, 1e-9);
    // A missing elevation on the first point alone is harmless.
    auto firstBare =
        trackWith({pointAt(0, kNoElevation, 0), pointAt(100, 110, 10), pointAt(200, 120, 20)});
    const auto f = basicStatisticsIgnoringOutliers(*firstBare, false);
    EXPECT_EQ(f->minimumElevation, 110);
    EXPECT_NEAR(f->distanceAscended, 10, 1e-9);
    expectAllNaN({f->averageClimbingGradient, f->maxClimbingGradient});
    // Later on it spoils the elevation and gradient figures, not the sums.
    auto laterBare = trackWith({pointAt(0, 100, 0), pointAt(100, 110, 10),
                                pointAt(200, kNoElevation, 20), pointAt(300, 100, 30)});
    const auto l = basicStatisticsIgnoringOutliers(*laterBare, false);
    expectAllNaN({l->minimumElevation, l->maximumElevation, l->averageElevation,
                  l->averageClimbingGradient, l->maxClimbingGradient, l->averageDescendingGradient,
                  l->maxDescendingGradient});
    EXPECT_NEAR(l->distanceAscended, 10, 1e-9);
    EXPECT_EQ(l->distanceDescended, 0);
    EXPECT_NEAR(l->totalDistance, std::hypot(100, 10) + 200, 1e-6);
}

TEST(TrackStatistics, OutlierRejectionDropsASpeedSpikeButNotItsDistance) {
    // 5 m/s for 2000 s with one point thrown 500 m off the line and back.
    PointList points;
    for (int i = 0; i <= 2000; ++i)
        points.push_back(pointAt(5.0 * i + (i == 1000 ? 500.0 : 0.0), 10, i));
    auto track = trackWith(points);

    const auto kept = basicStatisticsIgnoringOutliers(*track, false);
    const auto dropped = basicStatisticsIgnoringOutliers(*track, true);
    EXPECT_GT(kept->maxSpeed, 50);
    EXPECT_NEAR(dropped->maxSpeed, 5, 1e-6);
    EXPECT_NEAR(dropped->averageSpeed, 5, 1e-6);
    EXPECT_NEAR(kept->totalDistance, 10000 - 10 + 505 + 495, 1e-3);
    EXPECT_EQ(dropped->totalDistance, kept->totalDistance);
    EXPECT_EQ(dropped->totalDuration, kept->totalDuration);
}

TEST(TrackStatistics, ChangesNothingButTheDerivedPointValues) {
    PointList points;
    for (int i = 0; i < 40; ++i)
        points.push_back(pointAt(7.0 * i, 100 + (i % 7) * 3.0, i * 1.5));
    points.push_back(pointAt(7.0 * 39, 99, 70)); // same place as its predecessor
    auto track = trackWith(points);
    selectRanges(*track, {{3, 5}});
    const auto before = stateOf({track});

    const auto first = basicStatisticsIgnoringOutliers(*track, true);
    basicStatisticsIgnoringOutliers(*track, false);
    const auto again = basicStatisticsIgnoringOutliers(*track, true);
    for (std::size_t i = 0; i < TrackStatistics::kFigureCount; ++i) {
        const double a = first->entries()[i].second, b = again->entries()[i].second;
        EXPECT_TRUE((std::isnan(a) && std::isnan(b)) || a == b) << i;
    }
    EXPECT_EQ(stateOf({track}), before);
}
