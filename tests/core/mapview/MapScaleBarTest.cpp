#include "core/mapview/MapScaleBar.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace wend;

TEST(MapScaleBar, RoundsToOneSignificantDigitInEitherSystem) {
    const UnitFormatter metric(MeasurementSystem::Metric, "en_US", "UTC");
    const UnitFormatter imperial(MeasurementSystem::Imperial, "en_US", "UTC");
    struct Row {
        double metresPer100Points;
        const UnitFormatter& units;
        double rounded, barWidth;
        const char* text;
    };
    const Row rows[] = {
        {2700, metric, 3000, 111.1111, "3 km"},
        {100, imperial, 300, 91.44, "300 ft"},
        {5000, imperial, 3, 96.5606, "3 mi"}, // beyond a mile the bar counts miles
        {0.74, metric, 0.7, 94.5946, "0.7 m"}, // small lengths round down as well as up
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.metresPer100Points);
        auto bar = MapScaleBar::scaleBarForMetres(row.metresPer100Points, row.units);
        ASSERT_TRUE(bar);
        EXPECT_NEAR(bar->roundedLength, row.rounded, 1e-12);
        EXPECT_NEAR(bar->barWidth, row.barWidth, 1e-3);
        EXPECT_EQ(bar->text, row.text);
        EXPECT_EQ(bar->barRect, (ViewRect{8, 8, bar->barWidth, 18}));
    }
    EXPECT_FALSE(MapScaleBar::scaleBarForMetres(std::nan(""), metric));
    EXPECT_FALSE(MapScaleBar::scaleBarForMetres(0, metric));
}

TEST(MapScaleBar, FollowsLatitudeAndZoomOfTheView) {
    EXPECT_NEAR(MapScaleBar::metresPer100PointsAt(0, 0), 15654303, 1);
    EXPECT_NEAR(MapScaleBar::metresPer100PointsAt(60, 10), 15654303.0 / 1024 / 2, 1e-2);

    const UnitFormatter metric(MeasurementSystem::Metric, "en_US", "UTC");
    MapViewGeometry geometry;
    geometry.setViewSize(800, 600);
    geometry.setZoomLevel(16);
    geometry.setCenter(13.4, 52.5);
    auto bar = MapScaleBar::scaleBarForView(geometry, metric);
    ASSERT_TRUE(bar);
    EXPECT_NEAR(bar->metresPer100Points, 145.41, 0.01); // cos(52.5°) of the equator's
    EXPECT_EQ(bar->roundedLength, 100);
}
