#include "core/processing/TrackStatistics.h"

#include "AlgorithmFixtures.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace wend;
using namespace wend::testing;

namespace {

// The thirteen figures in key order (6 significant digits): distance, duration, average and
// maximum speed, minimum, maximum and average elevation, climbed, descended, average and
// maximum climbing gradient, average and maximum descending gradient.
std::string figures(const GPSItem& item, bool ignoreOutliers) {
    const auto s = basicStatisticsIgnoringOutliers(item, ignoreOutliers);
    if (!s)
        return "none";
    std::string text;
    for (const auto& [key, value] : s->entries()) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%s%g", text.empty() ? "" : " ", value);
        text += buffer;
    }
    return text;
}

} // namespace

TEST(TrackStatistics, FiguresOfSmallTracks) {
    const double none = kNoElevation;
    const struct {
        const char* name;
        PointList points;
        const char* figures;
    } cases[] = {
        {"no points", {}, "none"},
        {"one point", {pointAt(0, 250, 0)}, "0 nan nan nan 250 250 250 0 0 nan nan nan nan"},
        {"one bare point", {pointAt(0, none, {})}, "0 nan nan nan nan nan nan 0 0 nan nan nan nan"},
        {"two level points 100 m apart",
         {pointAt(0, 50, 0), pointAt(100, 50, 10)},
         "100 10 10 10 50 50 50 0 0 nan nan nan nan"},
        {"back at the start time",
         {pointAt(0, 50, 0), pointAt(100, 50, 10), pointAt(200, 50, 0.0004)},
         "200 nan 10 10 50 50 50 0 0 nan nan nan nan"},
        {"slower than walking",
         {pointAt(0, 0, 0), pointAt(5, 0, 10), pointAt(10, 0, 20)},
         "10 20 nan nan 0 0 0 0 0 nan nan nan nan"},
        {"slow, then fast",
         {pointAt(0, 0, 0), pointAt(5, 0, 10), pointAt(105, 0, 20)},
         "105 20 10 10 0 0 0 0 0 nan nan nan nan"},
        {"up and down",
         {pointAt(0, 100, 0), pointAt(100, 110, 10), pointAt(200, 105, 20)},
         "200.624 20 10.0405 10.0499 100 105 103.333 10 5 0.1 0.1 -0.05 -0.05"},
        {"steeper down",
         {pointAt(0, 100, 0), pointAt(100, 95, 10), pointAt(200, 80, 20)},
         "201.244 20 10.0373 10.0622 91.6667 100 96.3889 0 20 nan nan -0.075 -0.1"},
        {"one untimed point",
         {pointAt(0, 100, 0), pointAt(100, 110, {}), pointAt(200, 120, 20)},
         "200.998 20 nan nan 100 110 105 20 0 0.1 0.1 nan nan"},
        {"first point bare",
         {pointAt(0, none, 0), pointAt(100, 110, 10), pointAt(200, 120, 20)},
         "200.499 20 10.0125 10.0249 110 115 112.5 10 0 nan nan nan nan"},
        {"later point bare",
         {pointAt(0, 100, 0), pointAt(100, 110, 10), pointAt(200, none, 20), pointAt(300, 100, 30)},
         "300.499 30 10.0305 10.0499 nan nan nan 10 0 nan nan nan nan"},
    };
    // Elevations are smoothed (up and down: 100, 105, then the mean of all three); a slow
    // segment counts for distance only; a missing time spoils only the speeds, a missing
    // elevation after the first point every elevation and gradient figure.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto track = trackWith(c.points);
        EXPECT_EQ(figures(*track, false), c.figures);
        EXPECT_EQ(figures(*track, true), c.figures); // too few samples for outliers
    }
}

TEST(TrackStatistics, PointsAtTheSameTimeOrPlaceAreNotCounted) {
    auto track = trackWith({pointAt(0, 50, 0), pointAt(100, 50, 10), pointAt(50, 50, 10),
                            pointAt(100, 80, 20), pointAt(300, 50, 30)});
    const auto s = basicStatisticsIgnoringOutliers(*track, false);
    ASSERT_TRUE(s);
    // 100 m, then 200 m measured from the second point over 20 s.
    EXPECT_NEAR(s->totalDistance, 300, 1e-6);
    // The skipped elevation of 80 m left no trace.
    EXPECT_EQ(s->maximumElevation, 50);
    EXPECT_EQ(s->distanceAscended, 0);
    // A single point's values count the same segments; the first point and the skipped ones
    // end none.
    const auto last = derivedValuesOfPoint(*track, 4);
    EXPECT_NEAR(last.distance, 300, 1e-6);
    EXPECT_NEAR(last.speed, 10, 1e-7);
    EXPECT_EQ(last.gradient, 0);
    EXPECT_NEAR(derivedValuesOfPoint(*track, 1).distance, 100, 1e-6);
    for (std::size_t index : {0, 2, 3, 5})
        EXPECT_TRUE(std::isnan(derivedValuesOfPoint(*track, index).distance)) << index;
}
// Point after point along a long track, the kept walk gives what a walk from the start gives,
// and starts again when the points change.
TEST(TrackStatistics, DerivedValuesOfPointAfterPointAlongALongTrack) {
    PointList points;
    for (int i = 0; i < 10000; ++i)
        points.push_back(pointAt(100.0 * i, 50, 10.0 * i));
    auto track = trackWith(points);
    DerivedValuesWalk walk;
    for (std::size_t index : {9999, 4096, 4095, 1, 8193}) {
        SCOPED_TRACE(index);
        const auto values = walk.valuesOf(*track, index);
        EXPECT_NEAR(values.distance, 100.0 * static_cast<double>(index), 1e-3);
        EXPECT_NEAR(values.speed, 10, 1e-6);
    }
    EXPECT_TRUE(std::isnan(walk.valuesOf(*track, 0).distance));
    points.insert(points.begin(), pointAt(-1000, 50, -100));
    track->setItemPoints(points);
    EXPECT_NEAR(walk.valuesOf(*track, 4097).distance, 1000 + 409600, 1e-3);
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
