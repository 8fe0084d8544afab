#include "core/model/GPSPoint.h"

#include "core/model/XMLElement.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace wend {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kEarthMetresPerDegree = 6371.01 * 1000.0 * 3.141592653589793 / 180.0;

TEST(GPSPoint, NormalisationWrapsStepwise) {
    auto lon = [](double v) { return GPSPoint::normalizedLongitude(v); };
    auto lat = [](double v) { return GPSPoint::normalizedLatitude(v); };
    // Stepping by a full turn keeps the edges where they were reached from.
    const double lons[][2] = {{540, 180},  {-540, -180}, {180, 180}, {-180, -180},  {360, 0},
                              {-190, 170}, {8.5, 8.5},   {900, 180}, {725.25, 5.25}};
    for (const auto& [in, out] : lons)
        EXPECT_EQ(lon(in), out) << in;
    const double lats[][2] = {{95, -85}, {-100, 80}, {-90, -90}, {90, 90}, {270, 90}, {-270, -90}};
    for (const auto& [in, out] : lats)
        EXPECT_EQ(lat(in), out) << in;
    EXPECT_TRUE(std::isnan(lon(std::nan(""))));
    EXPECT_TRUE(std::isnan(lat(std::nan(""))));

    // Values of every size terminate and land inside the range.
    for (double v : {1e15, -1e15, 1e300, -1e300, std::numeric_limits<double>::max(),
                     -std::numeric_limits<double>::max(), kInf, -kInf}) {
        EXPECT_GE(lon(v), -180) << v;
        EXPECT_LE(lon(v), 180) << v;
        EXPECT_GE(lat(v), -90) << v;
        EXPECT_LE(lat(v), 90) << v;
    }

    // Every way in normalises.
    auto q = GPSPoint::pointWithLongitude(190, 91, 12.5, std::nullopt);
    EXPECT_EQ(q->longitude(), -170);
    EXPECT_EQ(q->latitude(), -89);
    q->setLongitude(-190);
    q->setLatitude(100);
    EXPECT_EQ(q->longitude(), 170);
    EXPECT_EQ(q->latitude(), -80);
}

TEST(GPSPoint, DistanceOnTheSphereAndAlongTheSlope) {
    auto at = [](double lon, double lat, double ele = std::nan(""), std::optional<std::int64_t> s = {}) {
        return GPSPoint::pointWithLongitude(lon, lat, ele, s ? std::optional(Instant::fromMicroseconds(*s * 1'000'000)) : std::nullopt);
    };
    const double nan = std::nan("");
    const double oneDegree = kEarthMetresPerDegree;
    struct Row {
        const char* what;
        GPSPointPtr later, earlier;
        double distance, dt, gradient;
    };
    const Row rows[] = {
        {"same place", at(8, 47, 100), at(8, 47, 100), 0, nan, nan},
        {"straight up", at(8, 47, 10), at(8, 47, 0), 10, nan, kInf},
        {"straight down", at(8, 47, 0), at(8, 47, 10), 10, nan, -kInf},
        {"one elevation missing", at(1, 0, 50), at(0, 0), oneDegree, nan, nan},
        {"along the slope", at(1, 0, 300, 60), at(0, 0, 100, 10), std::hypot(oneDegree, 200), 50, 200 / oneDegree},
        {"backwards in time", at(0, 0, 100, 10), at(1, 0, 300, 60), std::hypot(oneDegree, 200), -50, -200 / oneDegree},
        {"one time missing", at(1, 0, nan, 60), at(0, 0), oneDegree, nan, nan},
        {"across the date line", at(179.5, 0), at(-179.5, 0), oneDegree, nan, nan},
        {"pole to pole", at(0, 90), at(0, -90), 180 * oneDegree, nan, nan},
        {"antipodes", at(10, 20), at(-170, -20), 180 * oneDegree, nan, nan},
        {"a micro-degree", at(8, 47), at(8, 47.000001), oneDegree * 1e-6, nan, nan},
    };
    auto same = [](double a, double b) {
        return (std::isnan(a) && std::isnan(b)) || a == b || std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        double dt = 1, gradient = 1;
        const double distance = row.later->distanceFromPoint(row.earlier.get(), &dt, &gradient);
        EXPECT_TRUE(same(distance, row.distance)) << distance;
        EXPECT_TRUE(same(dt, row.dt)) << dt;
        EXPECT_TRUE(same(gradient, row.gradient)) << gradient;
    }
    // No other point: 0 and both outputs NaN; a point without a position has no distance.
    double dt = 1, gradient = 1;
    EXPECT_EQ(at(8, 47)->distanceFromPoint(nullptr, &dt, &gradient), 0);
    EXPECT_TRUE(std::isnan(dt) && std::isnan(gradient));
    EXPECT_TRUE(std::isnan(GPSPoint::point()->distanceFromPoint(at(8, 47).get())));
}

TEST(GPSPoint, CopyKeepsValuesAndElements) {
    auto p = GPSPoint::pointWithLongitude(8.5, 47.25, 400, Instant::fromMicroseconds(7));
    const XMLElement hdop = XMLElement::fromXMLString("<hdop>1.5</hdop>");
    p->setXMLElements(XMLElementList{hdop});

    auto c = p->copy();
    EXPECT_EQ(c->description(), p->description());
    EXPECT_EQ(c->time(), p->time());
    EXPECT_EQ(c->XMLElements(), p->XMLElements());
}

} // namespace
} // namespace wend
