#include "core/document/WaypointEditor.h"

#include "CommandTestSupport.h"

#include <gtest/gtest.h>

using namespace wend;
using namespace wend::test;

namespace {

using ScriptedWaypointEditor = ScriptedDialog<WaypointEditor>;

class WaypointEditorTest : public CommandTest {
protected:
    WaypointEditorTest()
        : editor(preferences, UnitFormatter(MeasurementSystem::Metric, "en_US", "UTC")) {
        track = makeTrack("Ride", 4);
        waypoint = makeWaypoint("Hut");
        waypoint->setItemDescription("Old hut");
        load({track, waypoint, makeWaypoint("Spring", 10.0)});
        selectWhole(waypoint);
        startFresh();
    }

    GPSItemPtr track;
    GPSItemPtr waypoint;
    ScriptedWaypointEditor editor;
};

} // namespace

TEST_F(WaypointEditorTest, EditedFieldsReachTheDocumentOnlyOnDone) {
    auto before = snapshot();
    const Instant now = Instant::fromMicroseconds(1'700'000'000'000'000);
    editor.setClock([&] { return now; });
    editor.script = [&](WaypointEditor& e) {
        e.setName("New Hut");
        e.setDescription("Rebuilt");
        e.setLink("https://example.org/hut");
        e.setSymbol("Lodge");
        e.setWaypointType("Shelter");
        e.setLatitude(46.5);
        e.setLongitude(9.25);
        e.deleteElevation();
        e.addTimestamp();
        EXPECT_EQ(snapshot(), before); // nothing of the document changes while the dialog runs
    };
    ASSERT_TRUE(editor.editWaypoint(document));
    const auto item = snapshot().items[1];
    EXPECT_EQ(item.name + "|" + item.description + "|" + item.link + "|" + item.wptSym + "|" +
                  item.wptType,
              "New Hut|Rebuilt|https://example.org/hut|Lodge|Shelter");
    EXPECT_EQ(item.color, waypoint->itemColor());
    EXPECT_EQ(item.points[0].latitude, 46.5);
    EXPECT_EQ(item.points[0].longitude, 9.25);
    EXPECT_FALSE(item.points[0].elevation);
    EXPECT_EQ(item.points[0].time, now);
    EXPECT_FALSE(editor.waypoint()); // forgotten after the run
    expectOneUndoableStep("Edit Waypoint", before);
    // Add Elevation starts from 0; Remove Timestamp leaves none.
    startFresh();
    editor.script = [&](WaypointEditor& e) {
        e.addElevation();
        EXPECT_EQ(e.pointElevation(), "0 m");
        e.deleteTimestamp();
    };
    ASSERT_TRUE(editor.editWaypoint(document));
    EXPECT_DOUBLE_EQ(document.permanentItems()[1]->itemPoints()[0]->elevation(), 0);
    EXPECT_FALSE(document.permanentItems()[1]->itemPoints()[0]->time());
}

TEST_F(WaypointEditorTest, CancelAndMissingWaypointLeaveEverything) {
    auto before = snapshot();
    editor.script = [&](WaypointEditor& e) {
        e.setName("Changed");
        e.cancel();
    };
    EXPECT_FALSE(editor.editWaypoint(document));
    expectNothingRecorded(before);
    EXPECT_FALSE(document.tempItems());
    // Offered only with exactly one selected item, a waypoint.
    int runs = 0;
    editor.script = [&](WaypointEditor&) { ++runs; };
    selectWhole(track);
    EXPECT_FALSE(editor.editWaypoint(document));
    selectRanges(waypoint, {});
    EXPECT_FALSE(editor.editWaypoint(document));
    EXPECT_EQ(runs, 0);
}

TEST_F(WaypointEditorTest, ElevationTextFollowsTheUnitAndTheLocale) {
    // Imperial elevations are shown in feet and stored in metres.
    preferences.setMeasurementSystem(Preferences::kImperialSystem);
    const auto before = snapshot();
    editor.script = [&](WaypointEditor& e) {
        EXPECT_EQ(e.pointElevation(), "1,312 ft"); // 400 m
        EXPECT_EQ(e.setPointElevation("2,345.5"), "2,346 ft");
    };
    ASSERT_TRUE(editor.editWaypoint(document));
    EXPECT_NEAR(document.permanentItems()[1]->itemPoints()[0]->elevation(), 714.91, 0.005);
    expectOneUndoableStep("Edit Waypoint", before);

    preferences.setMeasurementSystem(Preferences::kMetricSystem);
    ScriptedWaypointEditor german(preferences,
                                  UnitFormatter(MeasurementSystem::Metric, "de_DE", "UTC"));
    german.script = [&](WaypointEditor& e) {
        // The field's own text reads back as the value it shows.
        EXPECT_EQ(e.setPointElevation("1.500 m"), "1.500 m");
        EXPECT_DOUBLE_EQ(e.point()->elevation(), 1500);
        e.setPointElevation("-12,5");
        EXPECT_DOUBLE_EQ(e.point()->elevation(), -12.5); // below sea level keeps its sign
        e.setPointElevation("high");
        EXPECT_DOUBLE_EQ(e.point()->elevation(), 0);
    };
    ASSERT_TRUE(german.editWaypoint(document));
}
