#include "core/model/GPSPoint.h"

#include "core/model/XMLElement.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace wend {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kEarthMetresPerDegree = 6371.01 * 1000.0 * 3.141592653589793 / 180.0;

TEST(GPSPoint, NewPointHasNoValues) {
    auto p = GPSPoint::point();
    for (double v :
         {p->longitude(), p->latitude(), p->elevation(), p->distance(), p->speed(), p->gradient()})
        EXPECT_TRUE(std::isnan(v));
    EXPECT_FALSE(p->time().has_value());

    auto q = GPSPoint::pointWithLongitude(190, 91, 12.5, Instant::fromMicroseconds(42));
    EXPECT_EQ(q->longitude(), -170);
    EXPECT_EQ(q->latitude(), -89);
}

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

    // Values of every size terminate, land inside the range and match the stepwise rule
    // wherever both can be computed exactly.
    for (double v :
         {1e6 - 1, 1e6, 1e6 + 180, 1e6 + 0.5, -1e6 - 180, 3.6e7, -3.6e7 + 180, 1.8e7 + 180}) {
        double stepped = v;
        while (stepped < -180)
            stepped += 360;
        while (stepped > 180)
            stepped -= 360;
        EXPECT_EQ(lon(v), stepped) << v;
    }
    for (double v : {1e15, -1e15, 1e300, -1e300, std::numeric_limits<double>::max(),
                     -std::numeric_limits<double>::max(), kInf, -kInf}) {
        EXPECT_GE(lon(v), -180) << v;
        EXPECT_LE(lon(v), 180) << v;
        EXPECT_GE(lat(v), -90) << v;
        EXPECT_LE(lat(v), 90) << v;
    }

    GPSPoint p;
    p.setLongitude(-190);
    p.setLatitude(100);
    EXPECT_EQ(p.longitude(), 170);
    EXPECT_EQ(p.latitude(), -80);
}

TEST(GPSPoint, DistanceOnTheSphereAndAlongTheSlope) {
    auto at = [](double lon, double lat, double ele = std::nan(""),
                 std::optional<Instant> t = std::nullopt) {
        return GPSPoint::pointWithLongitude(lon, lat, ele, t);
    };
    double dt = 0, gradient = 0;

    // The same position and elevation: nothing, and no gradient.
    auto a = at(8, 47, 100);
    EXPECT_EQ(a->distanceFromPoint(at(8, 47, 100).get(), &dt, &gradient), 0);
    EXPECT_TRUE(std::isnan(gradient));
    EXPECT_TRUE(std::isnan(dt));
    // The same position 10 m higher: straight up, an infinite gradient.
    EXPECT_DOUBLE_EQ(at(8, 47, 10)->distanceFromPoint(at(8, 47, 0).get(), nullptr, &gradient), 10);
    EXPECT_EQ(gradient, kInf);
    EXPECT_DOUBLE_EQ(at(8, 47, 0)->distanceFromPoint(at(8, 47, 10).get(), nullptr, &gradient), 10);
    EXPECT_EQ(gradient, -kInf);

    // One degree along the equator; a missing elevation leaves the horizontal distance.
    const double oneDegree = at(1, 0, 50)->distanceFromPoint(at(0, 0).get(), nullptr, &gradient);
    EXPECT_NEAR(oneDegree, kEarthMetresPerDegree, 1e-6);
    EXPECT_TRUE(std::isnan(gradient));
    // With both elevations the distance follows the slope.
    const double sloped = at(1, 0, 300)->distanceFromPoint(at(0, 0, 100).get(), nullptr, &gradient);
    EXPECT_DOUBLE_EQ(sloped, std::hypot(oneDegree, 200));
    EXPECT_DOUBLE_EQ(gradient, 200 / oneDegree);

    // Across the date line, and between the poles and antipodes.
    EXPECT_NEAR(at(179.5, 0)->distanceFromPoint(at(-179.5, 0).get()), kEarthMetresPerDegree, 1e-6);
    EXPECT_NEAR(at(0, 90)->distanceFromPoint(at(0, -90).get()), 180 * kEarthMetresPerDegree, 1e-6);
    EXPECT_NEAR(at(10, 20)->distanceFromPoint(at(-170, -20).get()), 180 * kEarthMetresPerDegree,
                1e-6);
    // Very short distances keep their precision.
    EXPECT_NEAR(at(8, 47)->distanceFromPoint(at(8, 47.000001).get()), kEarthMetresPerDegree * 1e-6,
                1e-9);

    // Time deltas: the receiver is the later point; swapping flips the signs only.
    auto early = at(8, 47, 400, Instant::fromMicroseconds(1'000'000));
    auto late = at(8.01, 47.01, 420, Instant::fromMicroseconds(3'500'000));
    double dt2 = 0, gradient2 = 0;
    const double forward = late->distanceFromPoint(early.get(), &dt, &gradient);
    const double backward = early->distanceFromPoint(late.get(), &dt2, &gradient2);
    EXPECT_NEAR(forward, backward, 1e-9);
    EXPECT_DOUBLE_EQ(dt, 2.5);
    EXPECT_DOUBLE_EQ(dt2, -2.5);
    EXPECT_GT(gradient, 0);
    EXPECT_NEAR(gradient2, -gradient, 1e-12);
    EXPECT_DOUBLE_EQ(late->distanceFromPoint(early.get()), forward);

    // A point without time on either side: no time delta, but a distance.
    EXPECT_GT(late->distanceFromPoint(at(8, 47).get(), &dt), 0);
    EXPECT_TRUE(std::isnan(dt));
    EXPECT_GT(at(8, 47)->distanceFromPoint(late.get(), &dt), 0);
    EXPECT_TRUE(std::isnan(dt));

    // No other point: 0 and both outputs NaN.
    dt = gradient = 1;
    EXPECT_EQ(late->distanceFromPoint(nullptr, &dt, &gradient), 0);
    EXPECT_TRUE(std::isnan(dt));
    EXPECT_TRUE(std::isnan(gradient));
    // Points without a position have no distance.
    EXPECT_TRUE(std::isnan(GPSPoint::point()->distanceFromPoint(late.get())));
}

TEST(GPSPoint, CopyKeepsValuesAndElementsButNotDerivedOnes) {
    auto p = GPSPoint::pointWithLongitude(8.5, 47.25, 400, Instant::fromMicroseconds(7));
    p->setDistance(12);
    p->setSpeed(3);
    p->setGradient(0.1);
    const XMLElement hdop = XMLElement::fromXMLString("<hdop>1.5</hdop>");
    p->setXMLElements(XMLElementList{hdop});

    auto c = p->copy();
    ASSERT_NE(c, p);
    EXPECT_EQ(c->longitude(), 8.5);
    EXPECT_EQ(c->latitude(), 47.25);
    EXPECT_EQ(c->elevation(), 400);
    EXPECT_EQ(c->time(), p->time());
    EXPECT_EQ(c->distance() + c->speed() + c->gradient(), 0);
    EXPECT_EQ(c->XMLElements(), p->XMLElements());

    // Giving the copy new elements leaves the original's alone.
    c->setXMLElements(c->XMLElements().appending(XMLElement::fromXMLString("<sat>7</sat>")));
    c->setTime(std::nullopt);
    EXPECT_EQ(p->XMLElements().size(), 1u);
    EXPECT_EQ(p->XMLElementNamed("hdop").stringValue(), "1.5");
    EXPECT_TRUE(p->XMLElementNamed("sat").isNull());
    EXPECT_EQ(c->XMLElementNamed("sat").stringValue(), "7");
    EXPECT_TRUE(p->time().has_value());

    EXPECT_EQ(p->description(),
              "<GPSPoint: Coord=+8.500000,+47.250000; Elev=400.000; Time=1970-01-01T00:00:00Z>");
    EXPECT_NE(GPSPoint::point()->description().find("Time=(null)"), std::string::npos);
    auto huge = GPSPoint::pointWithLongitude(0, 0, 1e300, std::nullopt);
    EXPECT_FALSE(huge->description().empty());
}

} // namespace
} // namespace wend
