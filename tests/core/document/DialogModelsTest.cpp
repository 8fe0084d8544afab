#include "CommandTestSupport.h"
#include "core/document/OffsetTimestampsDialogModel.h"
#include "core/document/OptimizationDialogModel.h"
#include "core/document/OverwriteTimestampsDialogModel.h"
#include "core/document/SplitOnRestStopsDialogModel.h"
#include "core/document/TrackCommands.h"

#include <gtest/gtest.h>

using namespace wend;
using namespace wend::test;

namespace {

// Five points on a line heading east.
GPSItemPtr straightTrack(std::string_view name, std::size_t n = 5) {
    auto track = makeTrack(name, n);
    PointList flat;
    for (const auto& p : track->itemPoints()) {
        auto copy = p->copy();
        copy->setElevation(400);
        flat.push_back(copy);
    }
    track->setItemPoints(flat);
    return track;
}

// Moving east for five points, resting near point 4 for 100 minutes (points 5 to 14 lie
// within a metre of it), then moving on from point 15 to 19.
GPSItemPtr trackWithRest() {
    PointList points;
    double t = 0;
    auto add = [&](double lon, double seconds) {
        t += seconds;
        points.push_back(GPSPoint::pointWithLongitude(lon, 47, 400, atSeconds(t)));
    };
    for (int i = 0; i < 5; ++i)
        add(8.0 + 0.002 * i, i == 0 ? 0 : 60);
    for (int i = 0; i < 10; ++i)
        add(8.008 + 0.00001 * (i % 2), 600);
    for (int i = 0; i < 5; ++i)
        add(8.010 + 0.002 * i, 60);
    auto track = GPSItem::item();
    track->setItemName("T");
    track->setItemPoints(std::move(points));
    return track;
}

using DialogModelsTest = CommandTest;

} // namespace

TEST_F(DialogModelsTest, OptimizationPreviewsLiveAndAppliesOnDone) {
    auto s = straightTrack("S");
    auto other = straightTrack("O");
    load({s, other});
    // Chosen as a whole item in the tracks list: every point takes part.
    document.setSelectedItemIndexes({0});
    const DocumentSnapshot start = snapshot();

    ScriptedDialog<OptimizationDialogModel> dialog;
    dialog.setStrength(0.9); // forgotten at opening
    bool ran = false;
    dialog.script = [&](OptimizationDialogModel& d) {
        ran = true;
        EXPECT_DOUBLE_EQ(d.strength(), 0.25);
        EXPECT_TRUE(d.liveUpdate());
        EXPECT_EQ(d.optimizationStrengthString(), "Optimization Strength: 0.25");
        EXPECT_EQ(d.pointsRemovedString(), "1 (25%) points removed");
        ASSERT_TRUE(document.tempItems());
        EXPECT_EQ(document.items()[0]->itemPoints().size(), 4u);
        EXPECT_EQ(document.permanentItems()[0]->itemPoints().size(), 5u);

        d.setLiveUpdate(false);
        EXPECT_FALSE(document.tempItems());
        EXPECT_EQ(d.pointsRemovedString(), "");
        d.setStrength(0.00009);
        EXPECT_EQ(d.optimizationStrengthString(), "Optimization Strength: 0.00");
        d.setLiveUpdate(true);
        EXPECT_EQ(d.pointsRemovedString(), "0 (0%) points removed");
        d.setStrength(0.25);
    };
    ASSERT_TRUE(TrackCommands::optimizeSelection(document, dialog));
    EXPECT_TRUE(ran);
    EXPECT_FALSE(document.tempItems());
    const auto& optimized = document.permanentItems()[0];
    ASSERT_EQ(optimized->itemPoints().size(), 4u);
    EXPECT_EQ(indexesIn(optimized, s->itemPoints()), (std::vector<int>{0, 2, 3, 4}));
    EXPECT_EQ(optimized->itemSelection().ranges(), (std::vector<IndexRange>{{0, 3}}));
    EXPECT_EQ(document.permanentItems()[1]->itemPoints(), other->itemPoints());
    expectOneUndoableStep("Optimize Selection", start);
}

TEST_F(DialogModelsTest, CancelledDialogsLeaveNoTraceAndNoOpenGroup) {
    auto track = trackWithRest();
    auto waypoint = makeWaypoint("W");
    load({track, waypoint});
    selectWhole(track);
    const DocumentSnapshot start = snapshot();

    auto expectCancelled = [&](ItemMutatorDialog& dialog, bool ran) {
        EXPECT_FALSE(ran);
        EXPECT_TRUE(dialog.cancelled());
        EXPECT_FALSE(document.tempItems());
        EXPECT_EQ(document.undoManager().groupingLevel(), 0);
        expectNothingRecorded(start);
    };

    ScriptedDialog<OptimizationDialogModel> optimization;
    optimization.script = [](OptimizationDialogModel& d) {
        d.setStrength(2);
        d.cancel();
    };
    expectCancelled(optimization, TrackCommands::optimizeSelection(document, optimization));

    ScriptedDialog<SplitOnRestStopsDialogModel> split;
    split.script = [](SplitOnRestStopsDialogModel& d) {
        d.setDiscardRestStops(false);
        d.cancel();
    };
    expectCancelled(split, TrackCommands::splitSelectionAtRestStops(document, split));

    ScriptedDialog<OffsetTimestampsDialogModel> offset;
    offset.script = [](OffsetTimestampsDialogModel& d) {
        d.setInterval(60);
        d.cancel();
    };
    expectCancelled(offset, TrackCommands::offsetTimestampsOfSelection(document, offset));

    ScriptedDialog<OverwriteTimestampsDialogModel> overwrite;
    overwrite.script = [](OverwriteTimestampsDialogModel& d) { d.cancel(); };
    expectCancelled(overwrite, TrackCommands::overwriteTimestampsOfSelection(document, overwrite));
}

TEST_F(DialogModelsTest, SplitAtRestStopsUsesTheColoursOfTheLastPreview) {
    auto track = trackWithRest();
    auto other = straightTrack("O");
    load({track, other});
    selectWhole(track);
    const PointList source = track->itemPoints();
    const DocumentSnapshot start = snapshot();

    ScriptedDialog<SplitOnRestStopsDialogModel> dialog;
    std::vector<std::string> previewColors;
    dialog.script = [&](SplitOnRestStopsDialogModel& d) {
        EXPECT_DOUBLE_EQ(d.minTime(), 2700);
        EXPECT_DOUBLE_EQ(d.maxDistance(), 20);
        EXPECT_TRUE(d.discardRestStops());
        EXPECT_TRUE(d.showLivePreview());
        EXPECT_EQ(d.minTimeDescription(), "0h 45m 0s");
        EXPECT_EQ(d.maxDistanceDescription(), "20.0 metres");
        ASSERT_TRUE(document.tempItems());
        EXPECT_EQ(document.items().size(), 3u); // two pieces and the other track

        d.setMinTimeSliderCurrentValue(15);
        EXPECT_DOUBLE_EQ(d.minTime(), 3375);
        EXPECT_EQ(d.minTimeDescription(), "0h 56m 15s");
        d.setShowLivePreview(false);
        EXPECT_FALSE(document.tempItems());
        d.setDiscardRestStops(false);
        d.setShowLivePreview(true);
        for (const auto& item : document.items())
            previewColors.push_back(colorName(item));
    };
    ASSERT_TRUE(TrackCommands::splitSelectionAtRestStops(document, dialog));
    const auto& items = document.permanentItems();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(indexesIn(items[0], source), span(0, 4));
    EXPECT_EQ(indexesIn(items[1], source), span(4, 15));
    EXPECT_EQ(indexesIn(items[2], source), span(15, 19));
    EXPECT_EQ(items[0]->itemName(), "T");
    EXPECT_EQ(items[1]->itemName(), "Rest Stop 1");
    EXPECT_EQ(items[2]->itemName(), "T");
    std::vector<std::string> colors;
    for (const auto& item : items)
        colors.push_back(colorName(item));
    EXPECT_EQ(colors, previewColors);
    EXPECT_EQ(colors,
              (std::vector<std::string>{"DarkMagenta", "Magenta", "DarkBlue", colorName(other)}));
    EXPECT_EQ(items[3]->itemPoints(), other->itemPoints());
    expectOneUndoableStep("Split Selection at Rest-stops", start);

    // A track without rest stops comes back as it was, keeping its colour.
    load({other});
    selectWhole(other);
    ScriptedDialog<SplitOnRestStopsDialogModel> none;
    ASSERT_TRUE(TrackCommands::splitSelectionAtRestStops(document, none));
    ASSERT_EQ(document.permanentItems().size(), 1u);
    EXPECT_EQ(document.permanentItems()[0]->itemPoints(), other->itemPoints());
    EXPECT_EQ(document.permanentItems()[0]->itemColor(), other->itemColor());
}

TEST_F(DialogModelsTest, OffsetTimestampsMovesOnlySelectedPoints) {
    auto track = makeTrack("T", 6);
    auto other = makeTrack("O", 3, 9.0);
    load({track, other});
    selectRanges(track, {{2, 2}});
    const DocumentSnapshot start = snapshot();

    ScriptedDialog<OffsetTimestampsDialogModel> dialog;
    dialog.setInterval(99);
    dialog.setOffsetDirection(OffsetTimestampsDialogModel::Backwards);
    dialog.script = [](OffsetTimestampsDialogModel& d) {
        EXPECT_DOUBLE_EQ(d.interval(), 0);
        EXPECT_EQ(d.offsetDirection(), OffsetTimestampsDialogModel::Forwards);
        EXPECT_EQ(d.intervalEditor().selectedField(), TimeIntervalEditor::Hours);
        d.stepIntervalField(1);
        EXPECT_DOUBLE_EQ(d.interval(), 3600);
        d.setOffsetDirection(OffsetTimestampsDialogModel::Backwards);
    };
    ASSERT_TRUE(TrackCommands::offsetTimestampsOfSelection(document, dialog));
    const auto& points = document.permanentItems()[0]->itemPoints();
    for (std::size_t i = 0; i < 6; ++i) {
        const double shift = i >= 2 && i <= 4 ? -3600 : 0;
        EXPECT_EQ(points[i]->time(), atSeconds(60.0 * static_cast<double>(i) + shift)) << i;
    }
    EXPECT_EQ(document.permanentItems()[1]->itemPoints()[0]->time(), atSeconds(0));
    EXPECT_EQ(track->itemPoints()[2]->time(), atSeconds(120)); // the originals stay
    expectOneUndoableStep("Offset Timestamps", start);
}

TEST_F(DialogModelsTest, OverwriteTimestampsBySpeedIntervalAndFinishDate) {
    auto first = makeTrackOf100MetreSteps("A", 4, 1000);
    auto second = makeTrack("B", 3, 9.0, 5000);
    auto unselected = makeTrack("U", 2, 10.0, 9000);
    load({first, unselected, second});
    selectWhole(first);
    selectRanges(second, {{1, 1}});
    const DocumentSnapshot start = snapshot();

    // By speed: 36 km/h is 10 m/s, so each 100 m step takes 10 s.
    ScriptedDialog<OverwriteTimestampsDialogModel> bySpeed;
    bySpeed.script = [&](OverwriteTimestampsDialogModel& d) {
        EXPECT_EQ(d.startDate(), atSeconds(1000));
        EXPECT_EQ(d.finishDate(), atSeconds(5120));
        EXPECT_TRUE(d.showSelectionsWarning()); // B is only partly selected
        EXPECT_DOUBLE_EQ(d.timeInterval(), 1);
        EXPECT_EQ(d.speedString(), "5.0 km/h");
        d.setSpeedString("36 km/h");
        EXPECT_DOUBLE_EQ(d.speedIncrementInMS(), 10);
        d.setStartDate(atSeconds(0));
        EXPECT_TRUE(d.canFinish());
    };
    ASSERT_TRUE(TrackCommands::overwriteTimestampsOfSelection(document, bySpeed));
    const auto& a = document.permanentItems()[0]->itemPoints();
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_NEAR(a[i]->time()->secondsSince(atSeconds(0)), 10.0 * static_cast<double>(i), 1e-5)
            << i;
    // B follows on from A's last time, every point re-timed; U is untouched.
    const auto& b = document.permanentItems()[2]->itemPoints();
    EXPECT_EQ(b[0]->time(), a.back()->time());
    EXPECT_EQ(document.permanentItems()[1]->itemPoints()[0]->time(), atSeconds(9000));
    expectOneUndoableStep("Overwrite Timestamps", start);

    // By interval, every selected item from the start date.
    ASSERT_TRUE(document.undoManager().undo());
    startFresh();
    ScriptedDialog<OverwriteTimestampsDialogModel> byInterval;
    byInterval.script = [](OverwriteTimestampsDialogModel& d) {
        d.setIncrementMethod(TimestampIncrementMethod::ByTimeInterval);
        d.setMultipleTrackHandlingRow(OverwriteTimestampsDialogModel::kEveryItemFromStartRow);
        d.setTimeInterval(2.5);
    };
    ASSERT_TRUE(TrackCommands::overwriteTimestampsOfSelection(document, byInterval));
    EXPECT_EQ(document.permanentItems()[0]->itemPoints()[3]->time(), atSeconds(1007.5));
    EXPECT_EQ(document.permanentItems()[2]->itemPoints()[0]->time(), atSeconds(1000));
    EXPECT_EQ(document.permanentItems()[2]->itemPoints()[2]->time(), atSeconds(1005));

    // By finish date, one item: its last point lands on the finish date.
    load({first});
    selectWhole(first);
    ScriptedDialog<OverwriteTimestampsDialogModel> byFinish;
    byFinish.script = [](OverwriteTimestampsDialogModel& d) {
        d.setIncrementMethod(TimestampIncrementMethod::ByFinishDate);
        d.setFinishDate(atSeconds(1000 + 3600));
    };
    ASSERT_TRUE(TrackCommands::overwriteTimestampsOfSelection(document, byFinish));
    const auto& finished = document.permanentItems()[0]->itemPoints();
    EXPECT_NEAR(finished.back()->time()->secondsSince(atSeconds(1000)), 3600, 1e-5);
}

TEST_F(DialogModelsTest, OverwriteTimestampsRefusesUnusableInput) {
    auto track = makeTrack("T", 4);
    load({track});
    selectWhole(track);
    preferences.setMeasurementSystem(Preferences::kImperialSystem);
    const DocumentSnapshot start = snapshot();

    ScriptedDialog<OverwriteTimestampsDialogModel> dialog;
    std::vector<std::string> messages;
    dialog.script = [&](OverwriteTimestampsDialogModel& d) {
        EXPECT_EQ(d.speedString(), "5.0 mph");
        EXPECT_NEAR(d.speedIncrementInMS(), 5 * 1609.344 / 3600, 1e-12);
        d.setSpeedString("0 mph");
        messages.push_back(d.refusalMessage());
        EXPECT_FALSE(d.canFinish());
        d.setIncrementMethod(TimestampIncrementMethod::ByFinishDate);
        d.setFinishDate(d.startDate());
        messages.push_back(d.refusalMessage());
        d.setFinishDate(std::nullopt);
        messages.push_back(d.refusalMessage());
        // The run ends without the user fixing the input: as if cancelled.
    };
    EXPECT_FALSE(TrackCommands::overwriteTimestampsOfSelection(document, dialog));
    for (const auto& message : messages)
        EXPECT_FALSE(message.empty());
    EXPECT_TRUE(dialog.cancelled());
    expectNothingRecorded(start);

    // Selected items without length give no speed from a finish date.
    auto waypoint = makeWaypoint("W");
    load({waypoint});
    selectWhole(waypoint);
    ScriptedDialog<OverwriteTimestampsDialogModel> still;
    still.script = [](OverwriteTimestampsDialogModel& d) {
        d.setIncrementMethod(TimestampIncrementMethod::ByFinishDate);
        d.setFinishDate(d.startDate().addingSeconds(60));
        EXPECT_FALSE(d.canFinish());
    };
    EXPECT_FALSE(TrackCommands::overwriteTimestampsOfSelection(document, still));
}

TEST_F(DialogModelsTest, EditWaypointOnlyWithOneSelectedWaypoint) {
    auto track = makeTrack("T", 3);
    auto waypoint = makeWaypoint("W");
    load({track, waypoint});
    selectWhole(track);
    selectWhole(waypoint);
    WaypointRenamingDialog dialog;
    EXPECT_FALSE(TrackCommands::editWaypoint(document, dialog));
    expectNothingRecorded(snapshot());

    track->setItemSelection(track->itemSelection().selectionByDeselectingAll());
    const DocumentSnapshot start = snapshot();
    ASSERT_TRUE(TrackCommands::editWaypoint(document, dialog));
    EXPECT_EQ(document.permanentItems()[1]->itemName(), "Renamed");
    expectOneUndoableStep("Edit Waypoint", start);
}
