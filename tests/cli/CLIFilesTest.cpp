// wend-cli end to end: usage errors, info, convert and the safe-write rule.

#include "CLIRunner.h"
#include "core/formats/GPXParser.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>

using namespace wend;
using namespace wend::test;

namespace {

const std::string kTrip = R"(<metadata><name>Trip</name></metadata>
<trk><name>Ride</name>
  <trkseg>
    <trkpt lat="47.000000" lon="8.000000"><ele>400</ele><time>2021-05-01T08:00:00Z</time></trkpt>
    <trkpt lat="47.001000" lon="8.001000"><ele>410.5</ele><time>2021-05-01T08:01:00Z</time></trkpt>
    <trkpt lat="47.002000" lon="8.002000"><time>2021-05-01T08:02:00.500Z</time></trkpt>
  </trkseg></trk>
<rte><name>Way</name><rtept lat="46.5" lon="7.5"/><rtept lat="46.6" lon="7.6"/></rte>
<wpt lat="47.5" lon="8.5"><name>Hut</name><sym>Lodge</sym></wpt>)";

// The trip cut off after its first point: readable after repair.
const std::string kCutOff = R"(<?xml version="1.0"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1">
<trk><name>Ride</name><trkseg>
<trkpt lat="47.000000" lon="8.000000"><time>2021-05-01T08:00:00Z</time></trkpt>
<trkpt lat="47.001000")";

struct Folder {
    std::string path;
    explicit Folder(const std::string& name) : path(scratchDirectory("cli-" + name)) {
        writeGPX(path + "/trip.gpx", kTrip);
        writeFile(path + "/cutoff.gpx", kCutOff);
        writeFile(path + "/notgpx.gpx", "<html><body>not a track</body></html>\n");
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

std::set<std::string> keysOf(const nlohmann::json& object) {
    std::set<std::string> keys;
    for (auto it = object.begin(); it != object.end(); ++it)
        keys.insert(it.key());
    return keys;
}

} // namespace

TEST(CLIUsage, MistakesGiveOneLineAndStatusTwo) {
    Folder folder("usage");

    auto bare = runCLI(folder.path, {});
    EXPECT_EQ(bare.status, 2);
    EXPECT_NE(bare.out.find("usage: wend-cli COMMAND"), std::string::npos);
    auto help = runCLI(folder.path, {"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command :
         {"info", "convert", "stats", "simplify", "split-stops", "shift-times", "kml"})
        EXPECT_NE(help.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;

    // Every way of parsing the command line to fail, once.
    const std::vector<std::vector<std::string>> mistakes = {
        {"frobnicate", "trip.gpx"},
        {"info"},
        {"convert", "trip.gpx", "out.gpx", "-x"},
        {"convert", "trip.gpx"},
        {"stats", "notgpx.gpx"},
        {"simplify", "trip.gpx", "out.gpx"},
        {"simplify", "trip.gpx", "out.gpx", "--strength", "strong"},
        {"simplify", "trip.gpx", "out.gpx", "--strength", "-0.5"},
        {"split-stops", "trip.gpx", "out.gpx", "--min-time"},
        {"split-stops", "trip.gpx", "out.gpx", "--keep-stops=no"},
        {"shift-times", "trip.gpx", "out.gpx"},
        {"shift-times", "trip.gpx", "out.gpx", "--by", "1:60:00"},
        {"shift-times", "trip.gpx", "out.gpx", "--by", "0:00:01.1234"},
        {"kml", "missing.gpx", "out.kml", "--google-maps"},
    };
    for (const auto& arguments : mistakes) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        auto run = runCLI(folder.path, arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        ASSERT_EQ(run.errLines().size(), 1u) << run.err;
        EXPECT_EQ(run.err.rfind("wend-cli", 0), 0u) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "out.gpx"));
    EXPECT_FALSE(std::filesystem::exists(folder / "out.kml"));

    auto unknown = runCLI(folder.path, {"stats", "--bogus", "trip.gpx"});
    EXPECT_EQ(unknown.err, "wend-cli stats: unknown option --bogus\n");
    EXPECT_NE(runCLI(folder.path, {"stats", "missing.gpx"}).err.find("missing.gpx"),
              std::string::npos);
}

TEST(CLIInfo, TextJSONAndStatus) {
    Folder folder("info");

    auto text = runCLI(folder.path, {"info", "trip.gpx"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.err, "");
    EXPECT_EQ(linesOf(text.out),
              (std::vector<std::string>{
                  "trip.gpx",
                  "  name: Trip",
                  "  track \"Ride\" 3 points 2021-05-01T08:00:00Z 2021-05-01T08:02:00.500Z",
                  "  route \"Way\" 2 points - -",
                  "  waypoint \"Hut\" 1 point - -",
              }));

    EXPECT_EQ(runCLI(folder.path, {"info", "trip.gpx", "cutoff.gpx"}).status, 1);

    auto json = runCLI(folder.path, {"info", "--json", "trip.gpx", "cutoff.gpx", "notgpx.gpx"});
    EXPECT_EQ(json.status, 2);
    auto objects = linesOf(json.out);
    ASSERT_EQ(objects.size(), 3u) << json.out;
    for (const auto& object : objects)
        EXPECT_EQ(keysOf(nlohmann::json::parse(object)),
                  (std::set<std::string>{"file", "name", "warning", "error", "items"}))
            << object;
    auto trip = nlohmann::json::parse(objects[0]);
    EXPECT_TRUE(trip["warning"].is_null());
    ASSERT_EQ(trip["items"].size(), 3u);
    EXPECT_EQ(trip["items"][0], nlohmann::json({{"type", "track"},
                                                {"name", "Ride"},
                                                {"points", 3},
                                                {"start", "2021-05-01T08:00:00Z"},
                                                {"finish", "2021-05-01T08:02:00.500Z"}}));
    EXPECT_TRUE(trip["items"][1]["start"].is_null());
    EXPECT_TRUE(nlohmann::json::parse(objects[1])["warning"].is_string());
    EXPECT_TRUE(nlohmann::json::parse(objects[2])["error"].is_string());
}

TEST(CLIConvert, RoundTripAndItemOrder) {
    Folder folder("convert");

    auto run = runCLI(folder.path, {"convert", "trip.gpx", "out.gpx"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    auto converted = GPXParser::parseFile(folder / "out.gpx");
    ASSERT_TRUE(converted.document);
    EXPECT_FALSE(converted.error);

    // Garmin-friendly order by default: waypoints, routes, tracks.
    auto namesOf = [](const GPSDocument& doc) {
        std::string names;
        for (const auto& item : doc.documentItems())
            names += item->itemName() + " ";
        return names;
    };
    EXPECT_EQ(namesOf(*converted.document), "Hut Way Ride ");

    auto inOrder = runCLI(folder.path, {"convert", "trip.gpx", "ordered.gpx", "--file-order"});
    ASSERT_EQ(inOrder.status, 0) << inOrder.err;
    auto ordered = GPXParser::parseFile(folder / "ordered.gpx");
    ASSERT_TRUE(ordered.document);
    EXPECT_EQ(namesOf(*ordered.document), "Ride Way Hut ");

    // Repaired input is written and reported with status 1 and the reader's warning.
    auto repaired = runCLI(folder.path, {"convert", "cutoff.gpx", "repaired.gpx"});
    EXPECT_EQ(repaired.status, 1);
    EXPECT_EQ(repaired.errLines().size(), 1u) << repaired.err;
    EXPECT_TRUE(GPXParser::parseFile(folder / "repaired.gpx").document);
}

TEST(CLISafeWrite, FailedRunsLeaveTheOutputAsItWas) {
    Folder folder("safewrite");
    const std::string precious = "<gpx>an earlier result, byte for byte</gpx>\n";
    std::filesystem::create_directory(folder / "folder-out");
    writeFile(folder / "out", precious);
    const auto before = folderListing(folder.path);
    const auto run = [&](const std::vector<std::string>& command, const std::string& in,
                         const std::string& out, const std::string& extra = {}) {
        std::vector<std::string> arguments{command[0], in, out};
        arguments.insert(arguments.end(), command.begin() + 1, command.end());
        if (!extra.empty())
            arguments.push_back(extra);
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const CLIRun result = runCLI(folder.path, arguments);
        EXPECT_EQ(result.errLines().size(), result.status == 2 ? 1u : 0u) << result.err;
        // No temporary file is left behind, and nothing replaced the folder.
        EXPECT_EQ(folderListing(folder.path), before);
        EXPECT_TRUE(folderListing(folder / "folder-out").empty());
        return result.status;
    };
    // The failures of the safe write, once for GPX and once for other output.
    for (const char* command : {"convert", "kml"}) {
        EXPECT_EQ(run({command}, "missing.gpx", "out"), 2);
        EXPECT_EQ(run({command}, "trip.gpx", "out", "--no-such-option"), 2);
        EXPECT_EQ(run({command}, "trip.gpx", "no-such-folder/out"), 2);
        EXPECT_EQ(run({command}, "trip.gpx", "folder-out"), 2);
        EXPECT_EQ(readFile(folder / "out"), precious);
    }
    // Each command reads its input before it touches the output, and replaces it whole.
    const std::vector<std::vector<std::string>> commands = {
        {"convert"},
        {"simplify", "--strength", "0.5"},
        {"split-stops", "--min-time", "60"},
        {"shift-times", "--by", "1:00:00"},
        {"kml", "--google-maps"},
    };
    for (const auto& command : commands) {
        writeFile(folder / "out", precious);
        EXPECT_EQ(run(command, "notgpx.gpx", "out"), 2);
        EXPECT_EQ(readFile(folder / "out"), precious);
        EXPECT_EQ(run(command, "trip.gpx", "out"), 0);
        EXPECT_NE(readFile(folder / "out"), precious) << command[0];
    }
}
