#include "core/mapview/ItemPointIndex.h"
#include "core/processing/TrackGeometry.h"

#include <gtest/gtest.h>
#include <random>

using namespace wend;

namespace {

// The index must answer exactly as the linear scans do, ties and points without position
// included, on random walks that cross themselves and revisit the same spots.
TEST(ItemPointIndexTest, AnswersAsTheLinearScans) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> step(-0.001, 0.001);
    for (int trial = 0; trial < 12; ++trial) {
        SCOPED_TRACE(trial);
        const int n = trial == 0 ? 1 : 50 + trial * 97;
        PointList points;
        double lon = 8, lat = 47;
        for (int i = 0; i < n; ++i) {
            if (i % 13 != 0) { // repeated spots give ties
                lon += step(random);
                lat += step(random);
            }
            const bool noPosition = trial % 4 == 3 && i % 101 == 50;
            points.push_back(GPSPoint::pointWithLongitude(noPosition ? GPSPoint::NaN : lon,
                                                          noPosition ? GPSPoint::NaN : lat,
                                                          GPSPoint::NaN, std::nullopt));
        }
        auto item = GPSItem::item();
        item->setItemPoints(points);
        const ItemPointIndex index(item->itemPoints());
        for (int q = 0; q < 40; ++q) {
            const double qLon = 8 + step(random) * 20, qLat = 47 + step(random) * 20;
            double expectedDistance = 0, distance = 0;
            EXPECT_EQ(index.closestPoint(qLon, qLat),
                      TrackGeometry::indexOfClosestPointToPoint(*item, qLon, qLat));
            EXPECT_EQ(index.closestLineSegment(qLon, qLat, &distance),
                      TrackGeometry::closestLineSegmentToPoint(*item, qLon, qLat, &expectedDistance));
            EXPECT_TRUE(std::isnan(expectedDistance) || distance == expectedDistance);

            const WorldRect rect{std::min(qLon, lon), std::min(qLat, lat), std::fabs(qLon - lon), std::fabs(qLat - lat)};
            std::vector<IndexRange> expected;
            for (std::size_t i = 0; i < points.size(); ++i) {
                const double x = points[i]->longitude(), y = points[i]->latitude();
                if (!(x >= rect.x && x < rect.x + rect.width && y >= rect.y && y < rect.y + rect.height))
                    continue;
                if (!expected.empty() && expected.back().end() + 1 == i)
                    ++expected.back().length;
                else
                    expected.push_back({i, 0});
            }
            EXPECT_EQ(index.runsInside(rect), expected);
        }
    }
}

} // namespace
