// wend-cli end to end: one round trip per processing command. Its options reach the core, its
// report and exit status are right; what the core computes is tested in tests/core.

#include "CLIRunner.h"
#include "core/formats/GPXParser.h"
#include "core/model/GPXTime.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace wend;
using namespace wend::test;

namespace {

// A point `seconds` after 08:00 on 1 May 2021; without an elevation when `ele` is NaN.
std::string trackPoint(double lat, double lon, double ele, int seconds) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "<trkpt lat=\"%.6f\" lon=\"%.6f\">", lat, lon);
    std::string text = buffer;
    if (!std::isnan(ele))
        text += "<ele>" + std::to_string(ele) + "</ele>";
    std::snprintf(buffer, sizeof buffer, "<time>2021-05-01T%02d:%02d:%02dZ</time></trkpt>\n",
                  8 + seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text + buffer;
}

std::string track(const std::string& name, const std::string& points) {
    return "<trk><name>" + name + "</name><trkseg>\n" + points + "</trkseg></trk>\n";
}

// A waypoint, then four points due north, 0.001° and a minute apart, at 100, 110, 105, 120 m.
std::string climbFile() {
    std::string points;
    const double elevations[] = {100, 110, 105, 120};
    for (int i = 0; i < 4; ++i)
        points += trackPoint(0.001 * i, 0, elevations[i], 60 * i);
    return "<wpt lat=\"0.5\" lon=\"0.5\"><ele>12</ele><time>2021-05-01T07:00:00Z</time>"
           "<name>Hut</name></wpt>\n" +
           track("Climb", points);
}

GPSDocumentPtr readBack(const std::string& path) {
    auto read = GPXParser::parseFile(path);
    EXPECT_TRUE(read.document && !read.error) << path;
    return read.document;
}

} // namespace

TEST(CLIStats, ReportsEachItemThenAllAsTextOrJSON) {
    const std::string folder = scratchDirectory("cli-stats");
    writeGPX(folder + "/climb.gpx", climbFile());

    auto json = runCLI(folder, {"stats", "climb.gpx", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    auto out = nlohmann::json::parse(json.out);
    EXPECT_EQ(out["file"], "climb.gpx");
    ASSERT_EQ(out["items"].size(), 2u);
    EXPECT_EQ(out["items"][1]["name"], "Climb");
    EXPECT_DOUBLE_EQ(out["items"][1]["statistics"]["GPSTrackDistanceAscendedKey"].get<double>(),
                     25);
    // A single waypoint has no duration: null, never NaN.
    EXPECT_TRUE(out["items"][0]["statistics"]["GPSTrackTotalDurationStatisticKey"].is_null());

    auto text = runCLI(folder, {"stats", "climb.gpx"});
    ASSERT_EQ(text.status, 0) << text.err;
    auto rows = linesOf(text.out);
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(rows[0], "waypoint \"Hut\"");
    EXPECT_EQ(rows[1], "  Time: 1 May 2021, 07:00:00 AM +0000");
    EXPECT_EQ(rows[4], "track \"Climb\"");
    EXPECT_NE(std::find(rows.begin(), rows.end(), "all items"), rows.end()) << text.out;
    auto imperial = linesOf(runCLI(folder, {"stats", "--imperial", "climb.gpx"}).out);
    EXPECT_NE(std::find(imperial.begin(), imperial.end(), "  Total Distance: 1,099.59 ft"),
              imperial.end());

    writeGPX(folder + "/empty.gpx", "");
    auto empty = runCLI(folder, {"stats", "empty.gpx"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "all items\n  No statistics to display\n");

    // --keep-outliers lets a one-second jump of a kilometre set the maximum speed.
    std::string points;
    for (int i = 0; i < 200; ++i)
        points += trackPoint(i * 0.00009 + (i == 100 ? 0.01 : 0), 8, 400 + 0.1 * i, i);
    writeGPX(folder + "/spike.gpx", track("Spike", points));
    const auto maxSpeed = [&](std::vector<std::string> arguments) {
        auto run = runCLI(folder, arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        return nlohmann::json::parse(
                   run.out)["items"][0]["statistics"]["GPSTrackMaxSpeedStatisticKey"]
            .get<double>();
    };
    EXPECT_GT(maxSpeed({"stats", "spike.gpx", "--json", "--keep-outliers"}),
              maxSpeed({"stats", "spike.gpx", "--json"}));
}

TEST(CLISimplify, ReportsTheRemovedPointsAndWritesTheRest) {
    const std::string folder = scratchDirectory("cli-simplify");
    std::string points;
    for (int i = 0; i < 10; ++i)
        points += trackPoint(0.001 * i, 0, 5, i);
    writeGPX(folder + "/line.gpx", track("Line", points));
    auto run = runCLI(folder, {"simplify", "line.gpx", "out.gpx", "--strength=0.25"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "6 (60%) points removed\n");
    auto doc = readBack(folder + "/out.gpx");
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->documentItems().at(0)->itemPoints().size(), 4u);
}

// Ten minutes of riding at 100 m a minute, an hour standing within a few metres, ten more
// minutes of riding; and a waypoint.
TEST(CLISplitStops, SplitsAtTheRestAndKeepsTheStopWhenAsked) {
    const std::string folder = scratchDirectory("cli-split");
    std::string points;
    for (int i = 0; i < 81; ++i) {
        const double lat = i < 10   ? 0.0009 * i
                           : i < 71 ? 0.009 + (i % 2 ? 0.00002 : 0)
                                    : 0.009 + 0.0009 * (i - 70);
        points += trackPoint(lat, 8, NAN, 60 * i);
    }
    writeGPX(folder + "/ride.gpx",
             "<wpt lat=\"1\" lon=\"1\"><name>Hut</name></wpt>\n" + track("Ride", points));
    auto run = runCLI(folder, {"split-stops", "ride.gpx", "out.gpx"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1 rest stop found, 3 items written\n");
    auto doc = readBack(folder + "/out.gpx");
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->documentItems().size(), 3u);
    EXPECT_EQ(doc->documentItems()[2]->itemName(), "Ride");

    auto kept = runCLI(folder, {"split-stops", "ride.gpx", "kept.gpx", "--keep-stops", "--min-time",
                                "600", "--max-distance", "20"});
    EXPECT_EQ(kept.out, "1 rest stop found, 4 items written\n");
    auto whole = runCLI(folder, {"split-stops", "ride.gpx", "whole.gpx", "--min-time", "7200"});
    EXPECT_EQ(whole.out, "0 rest stops found, 2 items written\n");
}

TEST(CLIShiftTimesAndKML, OneRoundTripEach) {
    const std::string folder = scratchDirectory("cli-shift-kml");
    writeGPX(folder + "/climb.gpx", climbFile());
    for (const auto& [by, seconds] : std::vector<std::pair<std::string, double>>{
             {"-1:00:00.250", -3600.25}, {"26:03:04", 26 * 3600 + 184}}) {
        SCOPED_TRACE(by);
        auto run = runCLI(folder, {"shift-times", "climb.gpx", "out.gpx", "--by", by});
        ASSERT_EQ(run.status, 0) << run.err;
        auto shifted = readBack(folder + "/out.gpx");
        ASSERT_TRUE(shifted);
        const auto& last = *shifted->documentItems().at(1)->itemPoints().at(3);
        EXPECT_DOUBLE_EQ(last.time()->secondsSince(*GPXTime::parse("2021-05-01T08:03:00Z")),
                         seconds);
    }

    for (const bool maps : {false, true}) {
        SCOPED_TRACE(maps);
        std::vector<std::string> arguments{"kml", "climb.gpx", "out.kml"};
        if (maps)
            arguments.push_back("--google-maps");
        auto run = runCLI(folder, arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string kml = readFile(folder + "/out.kml");
        EXPECT_EQ(kml.rfind("<?xml", 0), 0u);
        // Google Maps reads only the older namespace.
        EXPECT_EQ(kml.find("http://www.opengis.net/kml/2.2") == std::string::npos, maps);
        EXPECT_NE(kml.find("<name>Climb</name>"), std::string::npos);
    }
}
