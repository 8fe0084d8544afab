#include "core/mapview/MapScaleBar.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace wend;

TEST(MapScaleBar, RoundsToOneSignificantDigitInEitherSystem) {
    const UnitFormatter metric(MeasurementSystem::Metric, "en_US", "UTC");
    const UnitFormatter imperial(MeasurementSystem::Imperial, "en_US", "UTC");

    auto bar = MapScaleBar::scaleBarForMetres(2700, metric);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->roundedLength, 3000);
    EXPECT_EQ(bar->unitInMetres, 1);
    EXPECT_NEAR(bar->barWidth, 111.1111, 1e-4);
    EXPECT_EQ(bar->text, metric.distanceStringForMetres(3000));
    EXPECT_EQ(bar->barRect, (ViewRect{8, 8, bar->barWidth, 18}));
    EXPECT_EQ(bar->textOrigin, (ViewPoint{16, 17}));

    bar = MapScaleBar::scaleBarForMetres(100, imperial);
    ASSERT_TRUE(bar);
    EXPECT_NEAR(bar->length, 328.08, 1e-2);
    EXPECT_EQ(bar->roundedLength, 300);
    EXPECT_EQ(bar->unitInMetres, MapScaleBar::kMetresPerFoot);
    EXPECT_NEAR(bar->barWidth, 91.44, 1e-3);
    EXPECT_EQ(bar->text, imperial.distanceStringForMetres(300 * MapScaleBar::kMetresPerFoot));
    EXPECT_NE(bar->text.find("ft"), std::string::npos);

    // Beyond a mile the bar counts miles.
    bar = MapScaleBar::scaleBarForMetres(5000, imperial);
    ASSERT_TRUE(bar);
    EXPECT_NEAR(bar->length, 3.10686, 1e-4);
    EXPECT_EQ(bar->roundedLength, 3);
    EXPECT_EQ(bar->unitInMetres, MapScaleBar::kMetresPerMile);
    EXPECT_NE(bar->text.find("mi"), std::string::npos);

    // Small lengths round down as well as up.
    bar = MapScaleBar::scaleBarForMetres(0.74, metric);
    ASSERT_TRUE(bar);
    EXPECT_NEAR(bar->roundedLength, 0.7, 1e-12);
    EXPECT_NEAR(bar->barWidth, 100 * 0.7 / 0.74, 1e-9);

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
    EXPECT_NEAR(bar->metresPer100Points, MapScaleBar::metresPer100PointsAt(52.5, 16), 1e-9);
    EXPECT_EQ(bar->roundedLength, 100); // 145 m per 100 points
    EXPECT_NEAR(bar->barWidth, 100 * 100 / bar->metresPer100Points, 1e-9);
}
