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

// Level points on a line heading east.
GPSItemPtr straightTrack(std::string_view name) {
    auto track = makeTrack(name, 5);
    for (auto& p : track->itemPoints())
        p->setElevation(400);
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
    dialog.script = [&](OptimizationDialogModel& d) {
        EXPECT_EQ(d.pointsRemovedString(), "1 (25%) points removed");
        ASSERT_TRUE(document.tempItems());
        EXPECT_EQ(document.items()[0]->itemPoints().size(), 4u);
        EXPECT_EQ(document.permanentItems()[0]->itemPoints().size(), 5u);

        d.setLiveUpdate(false);
        EXPECT_FALSE(document.tempItems());
        EXPECT_EQ(d.pointsRemovedString(), "");
        d.setStrength(0.00009);
        d.setLiveUpdate(true);
        EXPECT_EQ(d.pointsRemovedString(), "0 (0%) points removed");
        d.setStrength(0.25);
    };
    ASSERT_TRUE(TrackCommands::optimizeSelection(document, dialog));
    EXPECT_FALSE(document.tempItems());
    EXPECT_EQ(indexesIn(document.permanentItems()[0], s->itemPoints()),
              (std::vector<int>{0, 2, 3, 4}));
    EXPECT_EQ(document.permanentItems()[1]->itemPoints(), other->itemPoints());
    expectOneUndoableStep("Optimize Selection", start);
}

TEST_F(DialogModelsTest, CancelledDialogsLeaveNoTraceAndNoOpenGroup) {
    auto track = trackWithRest();
    auto waypoint = makeWaypoint("W");
    load({track, waypoint});
    selectWhole(track);
    const DocumentSnapshot start = snapshot();
    // Each dialog is changed, then cancelled.
    const auto cancel = [&](auto&& dialog, auto command, auto change) {
        dialog.script = [&](auto& d) {
            change(d);
            d.cancel();
        };
        EXPECT_FALSE(command(document, dialog));
        EXPECT_TRUE(dialog.cancelled());
        EXPECT_FALSE(document.tempItems());
        expectNothingRecorded(start);
    };
    cancel(ScriptedDialog<OptimizationDialogModel>(), TrackCommands::optimizeSelection,
           [](auto& d) { d.setStrength(2); });
    cancel(ScriptedDialog<SplitOnRestStopsDialogModel>(), TrackCommands::splitSelectionAtRestStops,
           [](auto& d) { d.setDiscardRestStops(false); });
    cancel(ScriptedDialog<OffsetTimestampsDialogModel>(),
           TrackCommands::offsetTimestampsOfSelection, [](auto& d) { d.setInterval(60); });
    cancel(ScriptedDialog<OverwriteTimestampsDialogModel>(),
           TrackCommands::overwriteTimestampsOfSelection, [](auto&) {});
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
        ASSERT_TRUE(document.tempItems());
        EXPECT_EQ(document.items().size(), 3u); // two pieces and the other track
        d.setMinTimeSliderCurrentValue(15);
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
    EXPECT_EQ(indexesIn(items[1], source), span(4, 15));
    std::vector<std::string> colors;
    for (const auto& item : items)
        colors.push_back(colorName(item));
    EXPECT_EQ(colors, previewColors);
    EXPECT_EQ(colors,
              (std::vector<std::string>{"DarkMagenta", "Magenta", "DarkBlue", colorName(other)}));
    expectOneUndoableStep("Split Selection at Rest-stops", start);
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
    EXPECT_EQ(points[1]->time(), atSeconds(60));
    EXPECT_EQ(points[2]->time(), atSeconds(120 - 3600));
    expectOneUndoableStep("Offset Timestamps", start);
}

TEST_F(DialogModelsTest, OverwriteTimestampsTakesTheDialogsChoices) {
    auto first = makeTrack("A", 4, 8.0, 1000);
    auto second = makeTrack("B", 3, 9.0, 5000);
    load({first, second});
    selectWhole(first);
    selectRanges(second, {{1, 1}});
    const DocumentSnapshot start = snapshot();

    ScriptedDialog<OverwriteTimestampsDialogModel> dialog;
    dialog.script = [](OverwriteTimestampsDialogModel& d) {
        EXPECT_EQ(d.finishDate(), atSeconds(5120));
        EXPECT_TRUE(d.showSelectionsWarning()); // B is only partly selected
        d.setSpeedString("36 km/h");
        d.setIncrementMethod(TimestampIncrementMethod::ByTimeInterval);
        d.setMultipleTrackHandlingRow(OverwriteTimestampsDialogModel::kEveryItemFromStartRow);
        d.setTimeInterval(2.5);
    };
    ASSERT_TRUE(TrackCommands::overwriteTimestampsOfSelection(document, dialog));
    EXPECT_EQ(document.permanentItems()[1]->itemPoints()[2]->time(), atSeconds(1005));
    expectOneUndoableStep("Overwrite Timestamps", start);
}
