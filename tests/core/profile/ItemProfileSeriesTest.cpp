#include "core/document/DocumentLoader.h"
#include "core/profile/ItemProfileSeries.h"
#include "core/profile/ProfileModel.h"
#include "core/profile/ProfileReadout.h"

#include <cmath>
#include <map>
#include <gtest/gtest.h>

namespace wend {
namespace {

constexpr double NaN = GPSPoint::NaN;

// Four points 1 km apart along the equator. The Garmin extension comes under a prefix of the
// root (version 1), under a default namespace of its own (version 2), and once under the
// usual prefix bound to another namespace, which must not count.
constexpr std::string_view kTrack = R"(<?xml version="1.0"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1"
     xmlns:cns="http://www.garmin.com/xmlschemas/TrackPointExtension/v1"
     xmlns:gpxtpx="http://example.com/not-the-garmin-extension">
 <trk><trkseg>
  <trkpt lat="0" lon="0"><ele>100</ele><time>2024-01-01T10:00:00Z</time>
   <extensions><cns:TrackPointExtension><cns:hr>90</cns:hr><cns:cad>60</cns:cad>
    <cns:atemp>20.5</cns:atemp><cns:speed>5</cns:speed></cns:TrackPointExtension></extensions></trkpt>
  <trkpt lat="0" lon="0.00899322"><time>2024-01-01T10:01:40Z</time>
   <extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>200</gpxtpx:hr></gpxtpx:TrackPointExtension></extensions></trkpt>
  <trkpt lat="0" lon="0.01798644"><ele>120</ele>
   <extensions><TrackPointExtension xmlns="http://www.garmin.com/xmlschemas/TrackPointExtension/v2">
    <hr> 95 </hr><speed>3</speed><course>270</course></TrackPointExtension></extensions></trkpt>
  <trkpt lat="0" lon="0.02697966"><ele>110</ele><time>2024-01-01T10:03:20Z</time>
   <extensions><cns:TrackPointExtension><cns:hr>n/a</cns:hr></cns:TrackPointExtension></extensions></trkpt>
 </trkseg></trk>
</gpx>)";

template <typename Value>
void expectValues(const std::vector<Value>& actual, const std::vector<double>& expected, double tolerance = 1e-4) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        if (std::isnan(expected[i]))
            EXPECT_TRUE(std::isnan(actual[i])) << actual[i];
        else
            EXPECT_NEAR(actual[i], expected[i], tolerance);
    }
}

TEST(ItemProfileSeries, DistancesTimesAndValuesOfAHandMadeTrack) {
    const auto read = DocumentLoader::loadDocumentFromData(kTrack);
    ASSERT_TRUE(read.document);
    const GPSItem& track = *read.document->documentItems().at(0);
    const auto reader = std::make_shared<const TrackPointExtensionReader>(read.document->XMLNamespaces());
    const auto series = ItemProfileSeries::build(track.itemPoints(), reader);

    // Along the slope where both ends have an elevation (the last segment rises 10 m less).
    expectValues(series->distances(), {0, 1000, 2000, 3000.05}, 0.2);
    // The point without time keeps the elapsed time before it.
    EXPECT_EQ(series->elapsed(), (std::vector<double>{0, 100, 100, 200}));
    EXPECT_TRUE(std::isnan(series->times()[2]));
    expectValues(series->values(ProfileQuantity::Elevation), {100, NaN, 120, 110});
    // Speeds need the times of both ends of a segment.
    expectValues(series->values(ProfileQuantity::Speed), {NaN, 10, NaN, NaN});
    expectValues(series->values(ProfileQuantity::HeartRate), {90, NaN, 95, NaN});
    expectValues(series->values(ProfileQuantity::Cadence), {60, NaN, NaN, NaN});
    expectValues(series->values(ProfileQuantity::Temperature), {20.5, NaN, NaN, NaN});
}

TEST(ProfileReadout, ShowsThePointsValuesWithTheGradientsSign) {
    const auto read = DocumentLoader::loadDocumentFromData(kTrack);
    ASSERT_TRUE(read.document);
    ProfileModel model;
    model.setItems(read.document->documentItems(), read.document->XMLNamespaces());
    ASSERT_EQ(model.entries().size(), 1u);
    const UnitFormatter imperial(MeasurementSystem::Imperial, "en_US", "UTC");
    const auto rows = [&](std::size_t index) {
        std::map<std::string, std::string> result;
        for (const StatisticsRow& row :
             ProfileReadout::readoutForPoint(model.entries()[0], index, model.extensionReader(),
                                             imperial)
                 .rows)
            result[row.label] = row.value;
        return result;
    };
    const auto first = rows(0);
    EXPECT_EQ(first.at("Elevation"), "328 ft");
    EXPECT_EQ(first.at("Heart Rate"), "90 bpm");
    EXPECT_EQ(first.at("Cadence"), "60 rpm");
    EXPECT_EQ(first.at("Temperature"), "68.9 °F");
    EXPECT_FALSE(first.count("Gradient")); // no segment ends at the first point
    EXPECT_FALSE(first.count("Speed"));
    // The last segment descends 10 m over 1 km.
    const auto last = rows(3);
    EXPECT_EQ(last.at("Gradient"), "\u22121%");
    EXPECT_EQ(last.at("Distance"), "1.86 mi");
    EXPECT_FALSE(last.count("Heart Rate")); // "n/a" is no number
    EXPECT_EQ(rows(2).at("Course"), "270°");
}

// Rebuilding after an edit must give exactly what a fresh build gives.
TEST(ItemProfileSeries, RebuildingAfterAnEditEqualsBuildingAfresh) {
    PointList points;
    for (int i = 0; i < 40; ++i) {
        auto point = GPSPoint::pointWithLongitude(
            8 + 0.0003 * i + 0.0001 * (i % 3), 47 + 0.0002 * (i % 5), i % 7 == 3 ? NaN : 400 + i % 11,
            Instant::fromSecondsSince1970(1.7e9 + 7 * i - (i == 20 ? 30 : 0)));
        if (i % 4 == 1)
            point->setXMLElements(XMLElementList{XMLElement::fromXMLString(
                "<extensions><x:TrackPointExtension xmlns:x=\"" +
                std::string(TrackPointExtensionReader::kNamespaceV1) + "\"><x:hr>" +
                std::to_string(100 + i) + "</x:hr></x:TrackPointExtension></extensions>")});
        points.push_back(point);
    }
    const auto reader = std::make_shared<const TrackPointExtensionReader>();
    const auto original = ItemProfileSeries::build(points, reader);
    // Once read, the extension values are kept up to date by every rebuild.
    ASSERT_EQ(original->values(ProfileQuantity::HeartRate).size(), points.size());
    const auto moved = [&](std::size_t i) {
        auto copy = points[i]->copy();
        copy->setLongitude(copy->longitude() + 0.001);
        copy->setElevation(900);
        return copy;
    };

    struct Edit {
        const char* name;
        std::function<PointList()> apply;
    };
    const std::vector<Edit> edits = {
        {"one point moved", [&] { auto p = points; p[17] = moved(17); return p; }},
        {"two points inserted", [&] { auto p = points; p.insert(p.begin() + 9, {moved(3), moved(4)}); return p; }},
        {"first point removed", [&] { return PointList(points.begin() + 1, points.end()); }},
        {"last point removed", [&] { return PointList(points.begin(), points.end() - 1); }},
        {"points appended", [&] { auto p = points; p.push_back(moved(0)); return p; }},
        {"order reversed", [&] { return PointList(points.rbegin(), points.rend()); }},
        {"everything removed", [] { return PointList(); }},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.name);
        const PointList changed = edit.apply();
        const auto rebuilt = ItemProfileSeries::rebuild(*original, changed, reader);
        const auto fresh = ItemProfileSeries::build(changed, reader);
        ASSERT_EQ(rebuilt->pointCount(), fresh->pointCount());
        expectValues(rebuilt->distances(), fresh->distances(), 1e-6);
        EXPECT_EQ(rebuilt->elapsed(), fresh->elapsed());
        for (ProfileQuantity quantity : kProfileQuantities) {
            const auto& expected = fresh->values(quantity);
            expectValues(rebuilt->values(quantity), std::vector<double>(expected.begin(), expected.end()));
        }
    }
}

GPSItemPtr trackOf(std::size_t count, double lon, GPSItemType type = GPSItemType::Track) {
    PointList points;
    for (std::size_t i = 0; i < count; ++i)
        points.push_back(GPSPoint::pointWithLongitude(lon + 0.00899322 * static_cast<double>(i), 0,
                                                      NaN, std::nullopt));
    auto item = GPSItem::item();
    item->setItemType(type);
    item->setItemPoints(std::move(points));
    return item;
}

TEST(ProfileModel, ShowsVisibleTracksAndRoutesOneAfterTheOther) {
    const auto first = trackOf(3, 0);                       // 2 km
    const auto waypoint = trackOf(1, 5, GPSItemType::Waypoint);
    const auto hidden = trackOf(4, 6);
    hidden->setVisible(false);
    const auto route = trackOf(2, 7, GPSItemType::Route);   // 1 km
    ProfileModel model;
    model.setItems({first, waypoint, hidden, route}, {});

    ASSERT_EQ(model.entries().size(), 2u);
    EXPECT_EQ(model.entries()[1].item, route);
    EXPECT_NEAR(model.entries()[1].distanceOffset, 2000, 0.5);
    EXPECT_NEAR(model.length(ProfileAxis::Distance), 3000, 0.5);

    struct Case {
        double position;
        std::size_t entry;
        std::size_t point;
    };
    for (const Case& c : std::vector<Case>{{-50, 0, 0}, {400, 0, 0}, {600, 0, 1}, {1999, 0, 2},
                                           {2001, 1, 0}, {2600, 1, 1}, {9999, 1, 1}}) {
        SCOPED_TRACE(c.position);
        const auto entry = model.entryAt(ProfileAxis::Distance, c.position);
        ASSERT_TRUE(entry);
        EXPECT_EQ(*entry, c.entry);
        EXPECT_EQ(model.entries()[*entry].pointNearest(ProfileAxis::Distance, c.position), c.point);
    }

    // A hidden item with a selection is drawn on the map, so it is profiled too; with the
    // switch on only items holding a selection are left.
    hidden->setItemSelection(hidden->itemSelection().selectionBySelectingRange({1, 2}));
    model.setSelectedItemsOnly(true);
    ASSERT_EQ(model.entries().size(), 1u);
    EXPECT_EQ(model.entries()[0].item, hidden);
    EXPECT_EQ(model.entries()[0].distanceOffset, 0);
    const auto stretches = model.selectedStretches(ProfileAxis::Distance);
    ASSERT_EQ(stretches.size(), 1u);
    EXPECT_NEAR(stretches[0].from, 1000, 0.5);
    EXPECT_NEAR(stretches[0].to, 3000, 0.5);
}

} // namespace
} // namespace wend
