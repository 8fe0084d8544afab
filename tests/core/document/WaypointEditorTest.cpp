#include "core/document/WaypointEditor.h"

#include "CommandTestSupport.h"

#include <functional>
#include <gtest/gtest.h>

using namespace wend;
using namespace wend::test;

namespace {

// Plays the user's part inside the modal run.
class ScriptedWaypointEditor : public WaypointEditor {
public:
    using WaypointEditor::WaypointEditor;
    std::function<void(ScriptedWaypointEditor&)> script;

protected:
    void runModal() override {
        if (script)
            script(*this);
    }
};

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

TEST_F(WaypointEditorTest, ImperialElevationIsStoredInMetresAndShownInFeet) {
    preferences.setMeasurementSystem(Preferences::kImperialSystem);
    auto before = snapshot();
    std::optional<std::string> shown;
    editor.script = [&](ScriptedWaypointEditor& e) {
        EXPECT_EQ(e.waypoint()->itemName(), "Hut");
        EXPECT_EQ(e.pointElevation(), "1,312 ft"); // 400 m
        shown = e.setPointElevation("500");
    };
    ASSERT_TRUE(editor.editWaypoint(document));
    EXPECT_EQ(shown, "500 ft");
    const auto& edited = document.permanentItems()[1];
    EXPECT_NE(edited, waypoint);
    EXPECT_NEAR(edited->itemPoints()[0]->elevation(), 152.40, 0.005);
    EXPECT_DOUBLE_EQ(waypoint->itemPoints()[0]->elevation(), 400); // the old point is untouched
    EXPECT_EQ(document.permanentItems()[0]->itemPoints(), track->itemPoints());
    expectOneUndoableStep("Edit Waypoint", before);
}

TEST_F(WaypointEditorTest, EditedFieldsReachTheDocumentOnlyOnDone) {
    auto before = snapshot();
    const Instant now = Instant::fromMicroseconds(1'700'000'000'000'000);
    editor.setClock([&] { return now; });
    editor.script = [&](ScriptedWaypointEditor& e) {
        e.setName("New Hut");
        e.setDescription("Rebuilt");
        e.setLink("https://example.org/hut");
        e.setSymbol("Lodge");
        e.setWaypointType("Shelter");
        e.setLatitude(46.5);
        e.setLongitude(9.25);
        e.deleteElevation();
        EXPECT_FALSE(e.pointElevation());
        e.addTimestamp();
        // Nothing of the document changed while the dialog runs.
        EXPECT_EQ(waypoint->itemName(), "Hut");
        EXPECT_DOUBLE_EQ(waypoint->itemPoints()[0]->elevation(), 400);
    };
    ASSERT_TRUE(editor.editWaypoint(document));
    const auto& edited = document.permanentItems()[1];
    EXPECT_EQ(edited->itemName(), "New Hut");
    EXPECT_EQ(edited->itemDescription(), "Rebuilt");
    EXPECT_EQ(edited->itemLink(), "https://example.org/hut");
    EXPECT_EQ(edited->wptSym(), "Lodge");
    EXPECT_EQ(edited->wptType(), "Shelter");
    EXPECT_EQ(edited->itemColor(), waypoint->itemColor());
    const auto& point = edited->itemPoints()[0];
    EXPECT_DOUBLE_EQ(point->latitude(), 46.5);
    EXPECT_DOUBLE_EQ(point->longitude(), 9.25);
    EXPECT_TRUE(std::isnan(point->elevation()));
    EXPECT_EQ(point->time(), now);
    EXPECT_FALSE(editor.waypoint()); // forgotten after the run
    expectOneUndoableStep("Edit Waypoint", before);

    // Add Elevation starts from 0; Remove Timestamp leaves none.
    startFresh();
    editor.script = [&](ScriptedWaypointEditor& e) {
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
    editor.script = [&](ScriptedWaypointEditor& e) {
        e.setName("Changed");
        e.cancel();
    };
    EXPECT_FALSE(editor.editWaypoint(document));
    expectNothingRecorded(before);
    EXPECT_FALSE(document.tempItems());

    // Offered only with exactly one selected item, a waypoint.
    int runs = 0;
    editor.script = [&](ScriptedWaypointEditor&) { ++runs; };
    selectWhole(track);
    EXPECT_FALSE(editor.editWaypoint(document));
    selectRanges(waypoint, {});
    EXPECT_FALSE(editor.editWaypoint(document));
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(snapshot().items[1].name, "Hut");
}

TEST_F(WaypointEditorTest, ElevationTextFollowsTheLocale) {
    ScriptedWaypointEditor german(preferences,
                                  UnitFormatter(MeasurementSystem::Metric, "de_DE", "UTC"));
    german.script = [&](ScriptedWaypointEditor& e) {
        // The field's own text reads back as the value it shows.
        EXPECT_EQ(e.setPointElevation("1.500 m"), "1.500 m");
        EXPECT_DOUBLE_EQ(e.point()->elevation(), 1500);
        e.setPointElevation("12,5");
        EXPECT_DOUBLE_EQ(e.point()->elevation(), 12.5);
        e.setPointElevation("high");
        EXPECT_DOUBLE_EQ(e.point()->elevation(), 0);
    };
    ASSERT_TRUE(german.editWaypoint(document));

    editor.script = [&](ScriptedWaypointEditor& e) {
        e.setPointElevation("2,345.5 m");
        EXPECT_DOUBLE_EQ(e.point()->elevation(), 2345.5);
    };
    ASSERT_TRUE(editor.editWaypoint(document));
}

TEST_F(WaypointEditorTest, AdditionalFieldsAreRemembered) {
    EXPECT_FALSE(editor.additionalFieldsShownAtStart());
    editor.setAdditionalFieldsShown(true);
    EXPECT_TRUE(preferences.showAdditionalWaypointFields());
    EXPECT_TRUE(editor.additionalFieldsShownAtStart());
}
