// wend-cli end to end: stats, simplify, split-stops, shift-times and kml on generated files.

#include "CLIRunner.h"
#include "core/formats/GPXParser.h"
#include "core/formats/KMLWriter.h"
#include "core/model/GPXTime.h"
#include "core/model/XMLElement.h"
#include "core/processing/TrackStatistics.h"
#include "support/TestSupport.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace wend;
using namespace wend::test;

namespace {

std::string timeText(int secondsAfterEight) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "2021-05-01T%02d:%02d:%02dZ", 8 + secondsAfterEight / 3600,
                  secondsAfterEight / 60 % 60, secondsAfterEight % 60);
    return buffer;
}

std::string trackPoint(double lat, double lon, std::optional<double> ele,
                       std::optional<int> seconds) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "<trkpt lat=\"%.6f\" lon=\"%.6f\">", lat, lon);
    std::string text = buffer;
    if (ele) {
        std::snprintf(buffer, sizeof buffer, "<ele>%.2f</ele>", *ele);
        text += buffer;
    }
    if (seconds)
        text += "<time>" + timeText(*seconds) + "</time>";
    return text + "</trkpt>\n";
}

std::string track(const std::string& name, const std::string& points) {
    return "<trk><name>" + name + "</name><trkseg>\n" + points + "</trkseg></trk>\n";
}

// Four points due north, 0.001° apart, a minute apart, at 100, 110, 105 and 120 m; and a
// waypoint.
const std::vector<double> kClimbElevations{100, 110, 105, 120};
std::string climbFile() {
    std::string points;
    for (int i = 0; i < 4; ++i)
        points += trackPoint(0.001 * i, 0, kClimbElevations[static_cast<std::size_t>(i)], 60 * i);
    return "<wpt lat=\"0.5\" "
           "lon=\"0.5\"><ele>12</ele><time>2021-05-01T07:00:00Z</time><name>Hut</name></wpt>\n" +
           track("Climb", points);
}

// Ten minutes of riding at 100 m a minute, an hour standing within a few metres, ten more
// minutes of riding; and a waypoint.
std::string restFile() {
    std::string points;
    int t = 0;
    double lat = 0;
    for (int i = 0; i < 10; ++i, t += 60, lat += 0.0009)
        points += trackPoint(lat, 8, std::nullopt, t);
    for (int i = 0; i < 61; ++i, t += 60)
        points += trackPoint(lat + (i % 2 ? 0.00002 : 0), 8, std::nullopt, t);
    for (int i = 0; i < 10; ++i, t += 60) {
        lat += 0.0009;
        points += trackPoint(lat, 8, std::nullopt, t);
    }
    return "<wpt lat=\"1\" lon=\"1\"><name>Hut</name></wpt>\n" + track("Ride", points);
}

bool hasLine(const std::string& text, const std::string& line) {
    for (const auto& l : linesOf(text))
        if (l == line)
            return true;
    return false;
}

GPSDocumentPtr readBack(const std::string& path) {
    auto read = GPXParser::parseFile(path);
    EXPECT_TRUE(read.document) << path;
    EXPECT_FALSE(read.error) << path;
    return read.document;
}

std::optional<std::string> colorName(const GPSItem& item) {
    return ItemColor::stringFromItemColor(item.itemColor());
}

} // namespace

TEST(CLIStats, FiguresOfASmallTrack) {
    const std::string folder = scratchDirectory("cli-stats");
    writeGPX(folder + "/climb.gpx", climbFile());

    auto json = runCLI(folder, {"stats", "climb.gpx", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    // Parsed keeping the order in which the figures were written.
    auto out = nlohmann::ordered_json::parse(json.out);
    EXPECT_EQ(out["file"], "climb.gpx");
    ASSERT_EQ(out["items"].size(), 2u);
    const auto& climb = out["items"][1];
    EXPECT_EQ(climb["type"], "track");
    EXPECT_EQ(climb["name"], "Climb");
    EXPECT_EQ(climb["points"], 4);
    const auto& figures = climb["statistics"];
    ASSERT_EQ(figures.size(), TrackStatistics::kFigureCount);
    std::size_t index = 0;
    for (auto it = figures.begin(); it != figures.end(); ++it, ++index)
        EXPECT_EQ(it.key(), TrackStatistics::keys()[index]);
    EXPECT_DOUBLE_EQ(figures["GPSTrackTotalDurationStatisticKey"].get<double>(), 180);
    EXPECT_DOUBLE_EQ(figures["GPSTrackDistanceAscendedKey"].get<double>(), 25);
    // A single waypoint has no duration, speed or gradient: null, never NaN.
    const auto& hut = out["items"][0]["statistics"];
    EXPECT_EQ(hut.size(), TrackStatistics::kFigureCount);
    EXPECT_TRUE(hut["GPSTrackTotalDurationStatisticKey"].is_null());
    EXPECT_TRUE(hut["GPSTrackMaxSpeedStatisticKey"].is_null());
    EXPECT_DOUBLE_EQ(hut["GPSTrackAverageElevationStatisticKey"].get<double>(), 12);

    auto text = runCLI(folder, {"stats", "climb.gpx"});
    ASSERT_EQ(text.status, 0) << text.err;
    auto rows = linesOf(text.out);
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(rows[0], "waypoint \"Hut\"");
    EXPECT_EQ(rows[1], "  Time: 1 May 2021, 07:00:00 AM +0000");
    EXPECT_EQ(rows[2], "  Location: 0.500000, 0.500000");
    EXPECT_EQ(rows[3], "  Elevation: 12 m");
    EXPECT_EQ(rows[4], "track \"Climb\"");
    for (const char* row : {"  Number of Points: 4", "  Total Distance: 335.15 m", "all items",
                            "  Number of Points: 5", "  Minimum Elevation: 12 m"})
        EXPECT_TRUE(hasLine(text.out, row)) << row << "\n" << text.out;
    EXPECT_LT(text.out.find("track \"Climb\""), text.out.find("all items"));

    auto imperial = runCLI(folder, {"stats", "--imperial", "climb.gpx"});
    EXPECT_TRUE(hasLine(imperial.out, "  Total Distance: 1,099.59 ft")) << imperial.out;

    // A single item is not repeated as "all items"; an empty file has nothing to show.
    writeGPX(folder + "/one.gpx",
             track("Climb", trackPoint(0, 0, 1, 0) + trackPoint(0.001, 0, 2, 60)));
    EXPECT_EQ(runCLI(folder, {"stats", "one.gpx"}).out.find("all items"), std::string::npos);
    writeGPX(folder + "/empty.gpx", "");
    auto empty = runCLI(folder, {"stats", "empty.gpx"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "all items\n  No statistics to display\n");
}

TEST(CLIStats, KeepOutliersLetsASpikeSetTheMaximumSpeed) {
    const std::string folder = scratchDirectory("cli-stats-outliers");
    std::string points;
    for (int i = 0; i < 200; ++i)
        points += trackPoint(i * 0.00009 + (i == 100 ? 0.01 : 0), 8, 400 + 0.1 * i, i);
    writeGPX(folder + "/spike.gpx", track("Spike", points));

    auto figures = [&](std::vector<std::string> extra) {
        std::vector<std::string> arguments{"stats", "spike.gpx", "--json"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        auto run = runCLI(folder, arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        return nlohmann::json::parse(run.out)["items"][0]["statistics"];
    };
    auto ignoring = figures({});
    auto keeping = figures({"--keep-outliers"});
    EXPECT_GT(keeping["GPSTrackMaxSpeedStatisticKey"].get<double>(),
              ignoring["GPSTrackMaxSpeedStatisticKey"].get<double>());
    EXPECT_EQ(keeping["GPSTrackTotalDistanceStatisticKey"],
              ignoring["GPSTrackTotalDistanceStatisticKey"]);
}

TEST(CLISimplify, RemovesPointsOnAStraightLine) {
    const std::string folder = scratchDirectory("cli-simplify");
    std::string points;
    for (int i = 0; i < 10; ++i)
        points += trackPoint(0.001 * i, 0, 5, i);
    writeGPX(folder + "/line.gpx",
             "<wpt lat=\"1\" lon=\"1\"><name>Hut</name></wpt>\n" + track("Line", points));

    auto run = runCLI(folder, {"simplify", "line.gpx", "out.gpx", "--strength", "0.25"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "6 (55%) points removed\n");
    auto doc = readBack(folder + "/out.gpx");
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->documentItems().size(), 2u);
    EXPECT_EQ(doc->documentItems()[0]->itemName(), "Hut");
    EXPECT_EQ(doc->documentItems()[1]->itemPoints().size(), 4u);

    auto none = runCLI(folder, {"simplify", "line.gpx", "same.gpx", "--strength=0"});
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_EQ(none.out, "0 (0%) points removed\n");
    EXPECT_EQ(readBack(folder + "/same.gpx")->documentItems()[1]->itemPoints().size(), 10u);
}

TEST(CLISplitStops, SplitsAtTheRestAndColoursThePieces) {
    const std::string folder = scratchDirectory("cli-split");
    writeGPX(folder + "/ride.gpx", restFile());
    auto times = [](const GPSItem& item) {
        return std::make_pair(GPXTime::format(*item.startDate()),
                              GPXTime::format(*item.finishDate()));
    };

    auto run = runCLI(folder, {"split-stops", "ride.gpx", "out.gpx"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1 rest stop found, 3 items written\n");
    auto doc = readBack(folder + "/out.gpx");
    ASSERT_TRUE(doc);
    const auto& items = doc->documentItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0]->itemName(), "Hut");
    EXPECT_FALSE(items[0]->itemColor());
    EXPECT_EQ(items[1]->itemName(), "Ride");
    EXPECT_EQ(items[2]->itemName(), "Ride");
    // The first piece ends at the anchor, the second starts at the first point that left.
    EXPECT_EQ(times(*items[1]), std::make_pair(timeText(0), timeText(600)));
    EXPECT_EQ(times(*items[2]), std::make_pair(timeText(4260), timeText(4800)));
    EXPECT_EQ(colorName(*items[1]), "DarkMagenta");

    auto kept = runCLI(folder, {"split-stops", "ride.gpx", "kept.gpx", "--keep-stops", "--min-time",
                                "600", "--max-distance", "20"});
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(kept.out, "1 rest stop found, 4 items written\n");
    auto withStops = readBack(folder + "/kept.gpx");
    ASSERT_TRUE(withStops);
    const auto& pieces = withStops->documentItems();
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[2]->itemName(), "Rest Stop 1");
    EXPECT_EQ(pieces[2]->finishDate(), pieces[3]->startDate());

    // Two hours is longer than the rest: the track stays whole, with no colour added.
    auto whole = runCLI(folder, {"split-stops", "ride.gpx", "whole.gpx", "--min-time", "7200"});
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(whole.out, "0 rest stops found, 2 items written\n");
    auto unchanged = readBack(folder + "/whole.gpx");
    ASSERT_EQ(unchanged->documentItems().size(), 2u);
    EXPECT_EQ(unchanged->documentItems()[1]->itemPoints().size(), 81u);
    EXPECT_FALSE(unchanged->documentItems()[1]->itemColor());
}

TEST(CLIShiftTimes, MovesEveryTime) {
    const std::string folder = scratchDirectory("cli-shift");
    writeGPX(folder + "/climb.gpx",
             climbFile() + track("Untimed", trackPoint(1, 1, std::nullopt, std::nullopt) +
                                                trackPoint(1.001, 1, std::nullopt, std::nullopt)));
    auto original = readBack(folder + "/climb.gpx");
    ASSERT_TRUE(original);

    for (const auto& [by, seconds] : std::vector<std::pair<std::string, double>>{
             {"-1:00:00.250", -3600.25}, {"0:00:01.5", 1.5}, {"26:03:04", 26 * 3600 + 184}}) {
        SCOPED_TRACE(by);
        auto run = runCLI(folder, {"shift-times", "climb.gpx", "out.gpx", "--by", by});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "");
        auto shifted = readBack(folder + "/out.gpx");
        ASSERT_TRUE(shifted);
        ASSERT_EQ(shifted->documentItems().size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            const auto& before = original->documentItems()[i]->itemPoints();
            const auto& after = shifted->documentItems()[i]->itemPoints();
            ASSERT_EQ(before.size(), after.size());
            for (std::size_t p = 0; p < before.size(); ++p) {
                EXPECT_EQ(after[p]->latitude(), before[p]->latitude());
                ASSERT_EQ(before[p]->time().has_value(), after[p]->time().has_value());
                if (before[p]->time()) {
                    EXPECT_DOUBLE_EQ(after[p]->time()->secondsSince(*before[p]->time()), seconds);
                }
            }
        }
    }
}

TEST(CLIKML, ExportsEveryItem) {
    const std::string folder = scratchDirectory("cli-kml");
    writeGPX(folder + "/climb.gpx", climbFile());

    auto run = runCLI(folder, {"kml", "climb.gpx", "out.kml"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    std::string kml = readFile(folder + "/out.kml");
    ASSERT_EQ(kml.rfind("<?xml", 0), 0u);
    auto root = XMLElement::fromXMLString(kml.substr(kml.find("?>") + 2));
    ASSERT_FALSE(root.isNull()) << kml;
    EXPECT_EQ(root.localName(), "kml");
    auto namespaces = root.namespaces();
    ASSERT_FALSE(namespaces.empty());
    EXPECT_EQ(namespaces[0].uri, KMLWriter::kKMLNamespace);
    auto document = root.childNamed("Document");
    auto placemarks = document.childrenNamed("Placemark");
    ASSERT_EQ(placemarks.size(), 2u);
    EXPECT_EQ(placemarks[1].childNamed("name").stringValue(), "Climb");

    auto maps = runCLI(folder, {"kml", "climb.gpx", "maps.kml", "--google-maps"});
    ASSERT_EQ(maps.status, 0) << maps.err;
    std::string mapsKML = readFile(folder + "/maps.kml");
    auto mapsRoot = XMLElement::fromXMLString(mapsKML.substr(mapsKML.find("?>") + 2));
    ASSERT_FALSE(mapsRoot.isNull());
    ASSERT_EQ(mapsRoot.namespaces().size(), 1u);
    EXPECT_EQ(mapsRoot.namespaces()[0].uri, KMLWriter::kGoogleEarthKMLNamespace);
    EXPECT_EQ(mapsRoot.childNamed("Document").childrenNamed("Placemark").size(), 2u);
}
