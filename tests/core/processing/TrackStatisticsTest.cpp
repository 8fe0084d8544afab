#include "core/processing/TrackStatistics.h"

#include "StatisticsTestSupport.h"
#include "core/model/GPXTime.h"
#include "core/model/ModelObserver.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <libxml/xmlreader.h>
#include <string>
#include <vector>

using namespace wend;
using namespace wend::statistics_test;

namespace {

bool sameFigure(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

// The figures that need no moving, timed or elevated segments.
void expectAllNaN(std::initializer_list<double> figures) {
    for (double f : figures)
        EXPECT_TRUE(std::isnan(f)) << f;
}

} // namespace

TEST(TrackStatistics, KeysLookUpTheirFigures) {
    TrackStatistics s;
    s.totalDistance = 1;
    s.maxDescendingGradient = -0.2;
    s.distanceAscended = 7;
    EXPECT_EQ(s.valueForKey("GPSTrackTotalDistanceStatisticKey"), 1.0);
    EXPECT_EQ(s.valueForKey(GPSTrackMaxDescendingGradientStatisticKey), -0.2);
    EXPECT_EQ(s.valueForKey("GPSTrackDistanceAscendedKey"), 7.0);
    EXPECT_TRUE(std::isnan(*s.valueForKey(GPSTrackAverageSpeedStatisticKey)));
    EXPECT_FALSE(s.valueForKey("GPSTrackSomethingElse").has_value());
    const auto entries = s.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].first, TrackStatistics::keys()[i]);
        EXPECT_TRUE(sameFigure(entries[i].second, *s.valueForKey(entries[i].first)));
    }
}

TEST(TrackStatistics, EmptyAndSinglePointItems) {
    EXPECT_FALSE(basicStatisticsIgnoringOutliers(*GPSItem::item(), true).has_value());

    auto single = trackWith({pointAt(0, 250, 0)});
    single->itemPoints()[0]->setDistance(7);
    for (bool ignore : {false, true}) {
        const auto s = basicStatisticsIgnoringOutliers(*single, ignore);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->totalDistance, 0.0);
        EXPECT_EQ(s->minimumElevation, 250.0);
        EXPECT_EQ(s->maximumElevation, 250.0);
        EXPECT_EQ(s->averageElevation, 250.0);
        EXPECT_EQ(s->distanceAscended, 0.0);
        EXPECT_EQ(s->distanceDescended, 0.0);
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
    EXPECT_EQ(s->distanceAscended, 0);
    EXPECT_EQ(s->distanceDescended, 0);
    expectAllNaN({s->averageClimbingGradient, s->maxClimbingGradient, s->averageDescendingGradient,
                  s->maxDescendingGradient});
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
    for (const auto& p : {sameTime, samePlace}) {
        EXPECT_EQ(p->distance(), -1);
        EXPECT_EQ(p->speed(), -1);
        EXPECT_EQ(p->gradient(), -1);
    }
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
    EXPECT_NEAR(s->maxClimbingGradient, 0.1, 1e-9);
    EXPECT_NEAR(s->averageDescendingGradient, -0.05, 1e-9);
    EXPECT_NEAR(s->maxDescendingGradient, -0.05, 1e-9);
    EXPECT_EQ(s->minimumElevation, 100);
    // Smoothed: 100, 105, then (100 + 110 + 105) / 3.
    EXPECT_EQ(s->maximumElevation, 105);
    EXPECT_NEAR(s->totalDistance, std::hypot(100, 10) + std::hypot(100, 5), 1e-6);
    EXPECT_NEAR(track->itemPoints()[1]->gradient(), 0.1, 1e-9);
    EXPECT_NEAR(track->itemPoints()[2]->gradient(), -0.05, 1e-9);
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
    double expectedDistance = 0;
    for (int i = 0; i <= 2000; ++i) {
        const double offset = i == 1000 ? 500.0 : 0.0;
        points.push_back(pointAt(5.0 * i + offset, 10, i));
    }
    for (int i = 1; i <= 2000; ++i)
        expectedDistance += std::fabs(points[i]->longitude() - points[i - 1]->longitude());
    expectedDistance /= degreesForMetres(1.0);
    auto track = trackWith(points);

    const auto kept = basicStatisticsIgnoringOutliers(*track, false);
    const auto dropped = basicStatisticsIgnoringOutliers(*track, true);
    EXPECT_GT(kept->maxSpeed, 50);
    EXPECT_NEAR(dropped->maxSpeed, 5, 1e-6);
    EXPECT_NEAR(dropped->averageSpeed, 5, 1e-6);
    EXPECT_NEAR(kept->totalDistance, expectedDistance, 1e-3);
    EXPECT_EQ(dropped->totalDistance, kept->totalDistance);
    EXPECT_EQ(dropped->totalDuration, kept->totalDuration);
}

namespace {

class CountingObserver : public ModelObserver {
public:
    void modelDidChange(const ModelChange&) override { ++changes; }
    int changes = 0;
};

struct PointState {
    std::string description;
    const void* elements;
    bool operator==(const PointState&) const = default;
};

} // namespace

TEST(TrackStatistics, ChangesNothingButTheDerivedPointValues) {
    PointList points;
    for (int i = 0; i < 40; ++i)
        points.push_back(pointAt(7.0 * i, 100 + (i % 7) * 3.0, i * 1.5));
    points.push_back(pointAt(7.0 * 39, 99, 70)); // same place as its predecessor
    auto track = trackWith(points);
    track->setItemName("Morning ride");
    track->setItemSelection(track->itemSelection().selectionBySelectingRange({3, 5}));
    CountingObserver observer;
    track->setObserver(&observer);

    std::vector<PointState> before;
    for (const auto& p : track->itemPoints())
        before.push_back({p->description(), &p->XMLElements()});
    const auto selection = track->itemSelection();

    const auto first = basicStatisticsIgnoringOutliers(*track, true);
    const auto second = basicStatisticsIgnoringOutliers(*track, true);
    ASSERT_TRUE(first && second);
    for (std::size_t i = 0; i < TrackStatistics::kFigureCount; ++i)
        EXPECT_TRUE(sameFigure(first->entries()[i].second, second->entries()[i].second)) << i;
    basicStatisticsIgnoringOutliers(*track, false);

    EXPECT_EQ(observer.changes, 0);
    EXPECT_EQ(track->itemName(), "Morning ride");
    EXPECT_EQ(track->itemSelection(), selection);
    ASSERT_EQ(track->itemPoints().size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(track->itemPoints()[i], points[i]);
        EXPECT_EQ((PointState{points[i]->description(), &points[i]->XMLElements()}), before[i]);
    }
    track->setObserver(nullptr);
}

// ---- A real recording, checked against an independent computation -----------------------

namespace {

struct CorpusPoint {
    double lon = NAN, lat = NAN, ele = NAN;
    std::optional<Instant> time;
};

std::string textOf(const xmlChar* text) {
    return text ? reinterpret_cast<const char*>(text) : "";
}

// Every trk of the file as one list of points (its segments joined), read with libxml2's
// streaming reader: only lat, lon, ele and time of trkpt elements.
std::vector<std::vector<CorpusPoint>> readTracks(const std::string& path) {
    std::vector<std::vector<CorpusPoint>> tracks;
    xmlTextReaderPtr reader = xmlReaderForFile(path.c_str(), nullptr, XML_PARSE_NONET);
    if (!reader)
        return tracks;
    CorpusPoint point;
    bool inPoint = false;
    while (xmlTextReaderRead(reader) == 1) {
        const int type = xmlTextReaderNodeType(reader);
        const std::string name = textOf(xmlTextReaderConstLocalName(reader));
        if (type == XML_READER_TYPE_ELEMENT && name == "trk") {
            tracks.emplace_back();
        } else if (type == XML_READER_TYPE_ELEMENT && name == "trkpt" && !tracks.empty()) {
            point = CorpusPoint{};
            xmlChar* lat = xmlTextReaderGetAttribute(reader, BAD_CAST "lat");
            xmlChar* lon = xmlTextReaderGetAttribute(reader, BAD_CAST "lon");
            point.lat = std::strtod(textOf(lat).c_str(), nullptr);
            point.lon = std::strtod(textOf(lon).c_str(), nullptr);
            xmlFree(lat);
            xmlFree(lon);
            inPoint = !xmlTextReaderIsEmptyElement(reader);
            if (!inPoint)
                tracks.back().push_back(point);
        } else if (type == XML_READER_TYPE_ELEMENT && inPoint &&
                   (name == "ele" || name == "time")) {
            xmlChar* value = xmlTextReaderReadString(reader);
            if (name == "ele")
                point.ele = std::strtod(textOf(value).c_str(), nullptr);
            else
                point.time = GPXTime::parse(textOf(value));
            xmlFree(value);
        } else if (type == XML_READER_TYPE_END_ELEMENT && name == "trkpt" && inPoint) {
            tracks.back().push_back(point);
            inPoint = false;
        }
    }
    xmlFreeTextReader(reader);
    return tracks;
}

struct Reference {
    double distance = 0, ascent = 0, descent = 0;
};

// Haversine on the sphere of radius 6371.01 km, along the slope; the same points are left
// out as in the pass (same time or same place as the last counted point).
Reference referenceFigures(const std::vector<CorpusPoint>& points) {
    constexpr double kRadius = 6371010.0;
    constexpr double kRadians = M_PI / 180.0;
    Reference r;
    const CorpusPoint* last = &points.front();
    for (std::size_t i = 1; i < points.size(); ++i) {
        const CorpusPoint& p = points[i];
        if (p.time && last->time && *p.time == *last->time)
            continue;
        if (p.lon == last->lon && p.lat == last->lat)
            continue;
        const double dLat = (p.lat - last->lat) * kRadians;
        const double dLon = (p.lon - last->lon) * kRadians;
        const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                         std::cos(last->lat * kRadians) * std::cos(p.lat * kRadians) *
                             std::sin(dLon / 2) * std::sin(dLon / 2);
        const double ground = 2 * kRadius * std::asin(std::sqrt(a));
        const double rise = p.ele - last->ele;
        r.distance += std::isnan(rise) ? ground : std::sqrt(ground * ground + rise * rise);
        if (rise > 0)
            r.ascent += rise;
        else if (rise < 0)
            r.descent -= rise;
        last = &p;
    }
    return r;
}

} // namespace

TEST(TrackStatistics, RealRecordingsAgreeWithAnIndependentComputation) {
    const std::string folder = std::string(WEND_SHARED_DIR) + "/corpus/gpx/";
    if (!std::filesystem::is_directory(folder))
        GTEST_SKIP() << "The GPX corpus is not at " << folder;

    for (const char* file :
         {"georust__garmin_with_extensions.gpx", "gpsbabel__mtk_logger_m241_multiple_tracks.gpx"}) {
        SCOPED_TRACE(file);
        const auto tracks = readTracks(folder + file);
        ASSERT_FALSE(tracks.empty());
        double fileDistance = 0;
        for (const auto& corpusPoints : tracks) {
            if (corpusPoints.size() < 2)
                continue;
            PointList points;
            for (const auto& c : corpusPoints)
                points.push_back(GPSPoint::pointWithLongitude(c.lon, c.lat, c.ele, c.time));
            auto item = trackWith(points);
            const auto s = basicStatisticsIgnoringOutliers(*item, true);
            ASSERT_TRUE(s);
            const Reference r = referenceFigures(corpusPoints);
            fileDistance += r.distance;
            EXPECT_NEAR(s->totalDistance, r.distance, r.distance * 1e-7);
            EXPECT_NEAR(s->distanceAscended, r.ascent, 1e-6);
            EXPECT_NEAR(s->distanceDescended, r.descent, 1e-6);
            EXPECT_DOUBLE_EQ(s->totalDuration,
                             corpusPoints.back().time->secondsSince(*corpusPoints.front().time));
            // The last counted point carries the whole distance.
            double lastDistance = NAN;
            for (const auto& p : points)
                if (!std::isnan(p->distance()))
                    lastDistance = p->distance();
            EXPECT_DOUBLE_EQ(lastDistance, s->totalDistance);
            EXPECT_GE(s->maxSpeed, s->averageSpeed);
            EXPECT_GE(s->maximumElevation, s->averageElevation);
            EXPECT_LE(s->minimumElevation, s->averageElevation);
        }
        EXPECT_GT(fileDistance, 1000.0);
    }
}
