#include "core/mapview/ItemPointIndex.h"
#include "core/processing/TrackGeometry.h"

#include <gtest/gtest.h>

using namespace wend;

namespace {

// Random walks against the linear scans are fuzz/FuzzItemPointIndex.cpp's. Here: a track over
// three chunks whose second lap goes over the same spots as the first (ties), with a point
// without a position that cuts a run.
TEST(ItemPointIndexTest, AnswersAsTheLinearScans) {
    PointList points;
    for (int i = 0; i < 150; ++i) {
        const double t = i % 75 * 0.0001, position = i == 20 ? GPSPoint::NaN : 0;
        points.push_back(GPSPoint::pointWithLongitude(8 + t + position, 47 + t + position,
                                                      GPSPoint::NaN, std::nullopt));
    }
    auto item = GPSItem::item();
    item->setItemPoints(points);
    const ItemPointIndex index(item->itemPoints());
    for (const auto& [lon, lat] : std::vector<std::pair<double, double>>{
             {8.0012, 47.0012}, {7.9, 46.9}, {8.01, 47}, {8.00205, 47.00195}, {8.0073, 47.0069}}) {
        SCOPED_TRACE(testing::Message() << lon << ", " << lat);
        double distance = 0, expectedDistance = 0;
        EXPECT_EQ(index.closestPoint(lon, lat),
                  TrackGeometry::indexOfClosestPointToPoint(*item, lon, lat));
        EXPECT_EQ(index.closestLineSegment(lon, lat, &distance),
                  TrackGeometry::closestLineSegmentToPoint(*item, lon, lat, &expectedDistance));
        EXPECT_EQ(distance, expectedDistance);
    }
    EXPECT_EQ(index.runsInside({8.00095, 46, 0.0036, 2}),
              (std::vector<IndexRange>{{10, 9}, {21, 24}, {85, 35}}));
}

} // namespace
