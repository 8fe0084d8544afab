#include "core/processing/StatisticsRows.h"

#include "AlgorithmFixtures.h"
#include "core/processing/UnitFormatter.h"

#include <gtest/gtest.h>
#include <map>

using namespace wend;
using namespace wend::testing;

namespace {

std::vector<std::string> labelsOf(const std::vector<StatisticsRow>& rows) {
    std::vector<std::string> labels;
    for (const auto& r : rows)
        labels.push_back(r.label);
    return labels;
}

std::map<std::string, std::string> valuesOf(const std::vector<StatisticsRow>& rows) {
    std::map<std::string, std::string> values;
    for (const auto& r : rows)
        values[r.label] = r.value;
    return values;
}

// A level track due east along the equator, one point per kilometre.
GPSItemPtr levelTrack(double kilometres, double elevation, std::optional<double> startSeconds) {
    PointList points;
    for (int i = 0; i <= static_cast<int>(kilometres); ++i) {
        std::optional<double> t;
        if (startSeconds)
            t = *startSeconds + 100.0 * i;
        points.push_back(pointAt(1000.0 * i, elevation, t));
    }
    return trackWith(points);
}

const UnitFormatter& english() {
    static const UnitFormatter formatter(MeasurementSystem::Metric, "en_US", "UTC");
    return formatter;
}

} // namespace

TEST(StatisticsRows, SinglePointShowsOnlyWhatItHas) {
    EXPECT_EQ(StatisticsRows::selectionStatisticsForTracks({}, english(), true),
              (std::vector<StatisticsRow>{{"", "No statistics to display"}}));
    auto waypoint = trackWith({GPSPoint::pointWithLongitude(
        13.4, 52.5, 34.4, Instant::fromMicroseconds(kBaseMicroseconds))});
    auto rows = StatisticsRows::selectionStatisticsForTracks({waypoint}, english(), true);
    EXPECT_EQ(labelsOf(rows), (std::vector<std::string>{"Time", "Location", "Elevation"}));
    EXPECT_EQ(rows[0].text(), "Time: 5 Mar 2024, 02:03:04 PM +0000");
    EXPECT_EQ(rows[1].text(), "Location: 52.500000, 13.400000");
    EXPECT_EQ(rows[2].text(), "Elevation: 34 m");

    auto bare = trackWith({GPSPoint::pointWithLongitude(-0.5, -1.25, kNoElevation, std::nullopt)});
    rows = StatisticsRows::selectionStatisticsForTracks({bare}, english(), true);
    EXPECT_EQ(rows, (std::vector<StatisticsRow>{{"Location", "-1.250000, -0.500000"}}));
    // A point of a track shows the values it has in its own track.
    auto track = trackWith({pointAt(0, 100, 0), pointAt(1000, 180, 100), pointAt(2000, 180, 200)});
    auto stretch = trackWith({track->itemPoints()[1]});
    rows = StatisticsRows::selectionStatisticsForTracks({stretch}, english(), true,
                                                        derivedValuesOfPoint(*track, 1));
    EXPECT_EQ(labelsOf(rows), (std::vector<std::string>{"Time", "Location", "Distance From Origin",
                                                        "Speed", "Elevation", "Gradient"}));
    EXPECT_EQ(valuesOf(rows)["Distance From Origin"], "1 km");
    EXPECT_EQ(valuesOf(rows)["Speed"], "36.12 km/h");
    EXPECT_EQ(valuesOf(rows)["Gradient"], "8%");
}

TEST(StatisticsRows, CombinedRowsForOneTrack) {
    auto track = trackWith({pointAt(0, 100, 0), pointAt(100, 110, 10), pointAt(200, 105, 20)});
    const auto rows = StatisticsRows::selectionStatisticsForTracks({track}, english(), true);
    EXPECT_EQ(labelsOf(rows),
              (std::vector<std::string>{
                  "Number of Points", "Start Time", "Finish Time", "Total Duration",
                  "Total Distance", "Average Speed", "Maximum Speed", "Average Elevation",
                  "Minimum Elevation", "Maximum Elevation", "Distance Climbed",
                  "Distance Descended", "Average Climbing Gradient", "Maximum Climbing Gradient",
                  "Average Descending Gradient", "Maximum Descending Gradient"}));
    auto v = valuesOf(rows);
    EXPECT_EQ(v["Finish Time"], "5 Mar 2024, 02:03:24 PM +0000");
    EXPECT_EQ(v["Total Distance"], "200.62 m");
    EXPECT_EQ(v["Distance Descended"], "5 m");
    EXPECT_EQ(v["Maximum Descending Gradient"], "5%");
    // Climbs stay in the elevation unit however large they are.
    UnitFormatter imperial(MeasurementSystem::Imperial, "en_US", "UTC");
    auto mountain = trackWith({pointAt(0, 0, 0), pointAt(20000, 2000, 3600)});
    v = valuesOf(StatisticsRows::selectionStatisticsForTracks({mountain}, imperial, true));
    EXPECT_EQ(v["Distance Climbed"], "6,562 ft");
    EXPECT_EQ(v["Total Distance"], "12.49 mi");
}

TEST(StatisticsRows, FiguresCombineOverItemsWhateverTheirOrder) {
    auto five = levelTrack(5, 100, 0);
    auto three = levelTrack(3, 300, 1000);
    const auto rows = StatisticsRows::selectionStatisticsForTracks({five, three}, english(), true);
    auto v = valuesOf(rows);
    EXPECT_EQ(v["Number of Points"], "10");
    EXPECT_EQ(v["Total Distance"], "8 km");
    // The mean of the items' means, not weighted by length.
    EXPECT_EQ(v["Average Elevation"], "200 m");
    EXPECT_EQ(v["Minimum Elevation"] + " " + v["Maximum Elevation"], "100 m 300 m");
    EXPECT_EQ(v["Finish Time"], "5 Mar 2024, 02:24:44 PM +0000");
    EXPECT_EQ(v["Total Duration"], "0h 13m 20s");
    EXPECT_EQ(StatisticsRows::selectionStatisticsForTracks({three, five}, english(), true), rows);
    // An untimed track leaves out the duration and the average speed, while the timed one
    // still gives the maximum speed, in either order.
    auto untimed = levelTrack(2, 50, std::nullopt);
    const auto mixed =
        StatisticsRows::selectionStatisticsForTracks({untimed, five}, english(), true);
    v = valuesOf(mixed);
    EXPECT_EQ(v.count("Total Duration") + v.count("Average Speed"), 0u);
    EXPECT_EQ(v["Maximum Speed"], "36 km/h");
    EXPECT_EQ(StatisticsRows::selectionStatisticsForTracks({five, untimed}, english(), true),
              mixed);
    // An item without points adds to the count of points and nothing else.
    const auto withEmpty =
        StatisticsRows::selectionStatisticsForTracks({GPSItem::item(), three}, english(), true);
    v = valuesOf(withEmpty);
    EXPECT_EQ(v["Number of Points"], "4");
    EXPECT_EQ(v["Average Elevation"], "300 m");
    EXPECT_EQ(labelsOf(StatisticsRows::selectionStatisticsForTracks(
                  {GPSItem::item(), GPSItem::item()}, english(), true)),
              (std::vector<std::string>{"Number of Points"}));
    // Two single points are several points.
    const auto pair = StatisticsRows::selectionStatisticsForTracks(
        {trackWith({pointAt(0, 10, 0)}), trackWith({pointAt(10, 20, 5)})}, english(), true);
    EXPECT_EQ(pair.front().text(), "Number of Points: 2");
    EXPECT_EQ(valuesOf(pair)["Total Distance"], "0 m");
}
