#include "core/document/TrackCommands.h"

#include "CommandTestSupport.h"

#include <gtest/gtest.h>

using namespace wend;
using namespace wend::test;

namespace {
using TrackCommandsTest = CommandTest;
using Pieces = std::vector<std::vector<int>>;
} // namespace

TEST_F(TrackCommandsTest, DeleteCutsTracksIntoPiecesInTheirPlace) {
    struct Case {
        std::size_t points;
        std::vector<IndexRange> selection;
        Pieces pieces;
    };
    const std::vector<Case> cases = {
        {10, {{3, 4}}, {span(0, 3), span(7, 9)}},
        {10, {{4, 0}}, {span(0, 4), span(4, 9)}},
        {10, {{0, 0}}, {span(1, 9)}},
        {10, {{9, 0}}, {span(0, 8)}},
        {2, {{0, 0}}, {{1}}},
        {2, {{1, 0}}, {{0}}},
        {3, {{0, 0}, {2, 0}}, {{1}}},
        {10, {{0, 4}, {5, 3}}, {{4, 5}, {8, 9}}},
        {10, {{0, 9}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("points " + std::to_string(c.points) + ", selection " +
                     Selection::selectionWithValidSelectionRange({0, c.points - 1}, c.selection)
                         .description());
        auto before = makeTrack("Before", 3, 7.0), track = makeTrack("T", c.points);
        auto waypoint = makeWaypoint("W"), after = makeTrack("After", 3, 10.0);
        track->setItemLink("https://example.org/t");
        load({before, track, waypoint, after});
        selectRanges(track, c.selection);
        selectWhole(waypoint);
        const PointList source = track->itemPoints();
        const DocumentSnapshot start = snapshot();

        ASSERT_TRUE(TrackCommands::deleteSelection(document));
        const auto& items = document.permanentItems();
        ASSERT_EQ(items.size(), c.pieces.size() + 2);
        EXPECT_EQ(items.front(), before);
        EXPECT_EQ(items.back(), after);
        EXPECT_EQ(colorName(before), "DarkMagenta"); // untouched, keeps its colour
        // The four loaded items took the first four pool colours; pieces continue from there.
        const std::vector<std::string> pieceColors = {"DarkYellow", "Yellow", "DarkRed"};
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            const auto& piece = items[i + 1];
            EXPECT_EQ(indexesIn(piece, source), c.pieces[i]) << "piece " << i;
            EXPECT_EQ(piece->itemName() + " " + piece->itemLink() + " " + colorName(piece),
                      "T https://example.org/t " + pieceColors[i]);
            EXPECT_TRUE(piece->itemSelection().isEmpty());
        }
        EXPECT_EQ(track->itemPoints(), source); // the track itself is untouched
        expectOneUndoableStep("Delete", start);
    }
}

TEST_F(TrackCommandsTest, CommandsWithoutTheirPreconditionRecordNothing) {
    auto a = makeTrack("A", 5), w = makeWaypoint("W");
    load({a, w});
    const DocumentSnapshot start = snapshot();
    for (auto command :
         {TrackCommands::deleteSelection, TrackCommands::deleteAndMerge,
          TrackCommands::mergeSelectedTracks, TrackCommands::extractSelectionAsNewTracks,
          TrackCommands::reverseSelectedTracks, TrackCommands::chronologicallySortPoints,
          TrackCommands::removeTimestampsOfSelection,
          TrackCommands::removeMillisecondDataOfSelection,
          TrackCommands::resetColorsOfSelectedTracks, TrackCommands::invertSelection,
          TrackCommands::deselectSelection})
        EXPECT_FALSE(command(document));
    EXPECT_FALSE(TrackCommands::setSelectionColor(document, 6));
    EXPECT_FALSE(TrackCommands::sortTracks(document, "Colour"));
    expectNothingRecorded(start);
    // One track alone cannot be merged; with a waypoint the user still hears why it stays.
    selectWhole(a);
    EXPECT_FALSE(TrackCommands::mergeSelectedTracks(document));
    EXPECT_TRUE(alerts.alerts.empty());
    selectWhole(w);
    EXPECT_FALSE(TrackCommands::mergeSelectedTracks(document));
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_FALSE(TrackCommands::setSelectionColor(document, 10));
    EXPECT_FALSE(TrackCommands::setSelectionColor(document, -1));
    expectNothingRecorded(snapshot());
    // Already in order: sorting and reversing a single item change nothing.
    load({a});
    EXPECT_FALSE(TrackCommands::reverseTrackOrder(document));
    EXPECT_FALSE(TrackCommands::sortTracks(document, "Name"));
    expectNothingRecorded(snapshot());
}

TEST_F(TrackCommandsTest, DeleteAndMergeJoinsThePiecesAtTheEnd) {
    auto track = makeTrack("T", 10), other = makeTrack("O", 4, 9.0);
    load({track, other});
    selectRanges(track, {{3, 4}});
    const PointList source = track->itemPoints();
    const DocumentSnapshot start = snapshot();

    ASSERT_TRUE(TrackCommands::deleteAndMerge(document));
    const auto& items = document.permanentItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], other);
    EXPECT_EQ(indexesIn(items[1], source), (std::vector<int>{0, 1, 2, 3, 7, 8, 9}));
    EXPECT_TRUE(items[1]->itemSelection().isEmpty());
    expectOneUndoableStep("Delete and Merge", start);
    // With one piece there is nothing to merge: the piece stays, fully selected.
    load({track});
    selectRanges(track, {{0, 3}});
    const DocumentSnapshot single = snapshot();
    ASSERT_TRUE(TrackCommands::deleteAndMerge(document));
    ASSERT_EQ(document.permanentItems().size(), 1u);
    EXPECT_EQ(indexesIn(document.permanentItems()[0], source), span(3, 9));
    EXPECT_TRUE(document.permanentItems()[0]->itemSelection().isFull());
    expectOneUndoableStep("Delete and Merge", single);
}

TEST_F(TrackCommandsTest, MergeTracksSortsByTimeAndLeavesWaypoints) {
    // B comes first in the list, A's points are earlier.
    auto b = makeTrack("B", 3, 8.0, 3600), w = makeWaypoint("W");
    auto a = makeTrack("A", 3, 9.0, 0), c = makeTrack("C", 2, 10.0, 7200);
    load({b, w, a, c});
    selectRanges(b, {{1, 0}});
    selectWhole(w);
    selectWhole(a);
    const DocumentSnapshot start = snapshot();

    ASSERT_TRUE(TrackCommands::mergeSelectedTracks(document));
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].title, "Waypoints Will Not Be Merged");

    const auto& items = document.permanentItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], w);
    EXPECT_TRUE(w->itemSelection().isFull()); // the waypoint is left as it was
    EXPECT_EQ(items[1], c);
    const auto& merged = items[2];
    EXPECT_EQ(merged->itemName(), "B");
    EXPECT_EQ(merged->itemColor(), b->itemColor());
    EXPECT_EQ(indexesIn(merged, a->itemPoints()), (std::vector<int>{0, 1, 2, -1, -1, -1}));
    EXPECT_EQ(merged->itemPoints()[3], b->itemPoints()[0]);
    expectOneUndoableStep("Merge Tracks", start);
}

TEST_F(TrackCommandsTest, ExtractSelectionMovesStretchesToTheEnd) {
    auto track = makeTrack("T", 10), other = makeTrack("O", 5, 9.0);
    load({track, other});
    selectRanges(track, {{3, 4}});
    selectRanges(other, {{1, 0}});
    const PointList source = track->itemPoints();
    const DocumentSnapshot start = snapshot();

    ASSERT_TRUE(TrackCommands::extractSelectionAsNewTracks(document));
    const auto& items = document.permanentItems();
    // pieces of T, pieces of O, then the two extracted stretches
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(indexesIn(items[0], source), span(0, 3));
    EXPECT_EQ(indexesIn(items[1], source), span(7, 9));
    EXPECT_EQ(indexesIn(items[4], source), span(3, 7));
    EXPECT_EQ(items[4]->itemColor(), track->itemColor()); // extracted stretches keep the colour
    EXPECT_EQ(items[4]->itemName(), "T");
    EXPECT_EQ(items[5]->itemPoints(), PointList{other->itemPoints()[1]});
    expectOneUndoableStep("Extract Selection", start);
}

TEST_F(TrackCommandsTest, ReversePointsKeepsTheSequenceOfTimes) {
    auto track = makeTrack("T", 3), other = makeTrack("O", 3, 9.0); // 10:00, 10:01, 10:02
    load({track, other});
    selectWhole(track);
    const PointList source = track->itemPoints();
    const DocumentSnapshot start = snapshot();

    ASSERT_TRUE(TrackCommands::reverseSelectedTracks(document));
    const auto& items = document.permanentItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1], other);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& p = items[0]->itemPoints()[i];
        EXPECT_DOUBLE_EQ(p->longitude(), source[2 - i]->longitude());
        EXPECT_EQ(p->time(), atSeconds(60.0 * static_cast<double>(i)));
    }
    EXPECT_EQ(source[0]->time(), atSeconds(0)); // the shared points stay as they were
    expectOneUndoableStep("Reverse Points", start);
}

TEST_F(TrackCommandsTest, ReverseTrackOrderAndSortTracks) {
    auto a = makeTrack("a", 2, 8.0, 600), b = makeTrack("B", 5, 9.0, 0);
    auto c = makeTrack("c", 3, 10.0, 300);
    load({a, b, c});
    DocumentSnapshot start = snapshot();
    ASSERT_TRUE(TrackCommands::reverseTrackOrder(document));
    EXPECT_EQ(document.permanentItems(), (ItemList{c, b, a}));
    expectOneUndoableStep("Reverse Track Order", start);
    // Upper case sorts before lower case.
    load({a, b, c});
    start = snapshot();
    ASSERT_TRUE(TrackCommands::sortTracks(document, "Name"));
    EXPECT_EQ(document.permanentItems(), (ItemList{b, a, c}));
    expectOneUndoableStep("Sort Tracks", start);
    // Items lacking the key go last, in their order: the item without points (E) has no key at
    // all, the one without times (U) has no start, duration or speed.
    auto untimed = makeTrack("U", 3, 11.0);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& point = untimed->itemPoints()[i];
        point->setTime(std::nullopt);
        point->setElevation(400);
        point->setLongitude(11 + 0.0001 * static_cast<double>(i));
    }
    auto empty = makeTrack("E", 0);
    const std::pair<std::string, std::string> expectations[] = {
        {"Start Date", "BcaEU"},       {"Duration", "acBEU"},      {"Distance Travelled", "UacBE"},
        {"Distance Climbed", "UacBE"}, {"Maximum Speed", "aBcEU"}, {"Maximum Elevation", "UacBE"},
    };
    for (const auto& [title, order] : expectations) {
        SCOPED_TRACE(title);
        load({empty, untimed, a, b, c});
        ASSERT_TRUE(TrackCommands::sortTracks(document, title));
        std::string names;
        for (const auto& item : document.permanentItems())
            names += item->itemName();
        EXPECT_EQ(names, order);
    }
}

TEST_F(TrackCommandsTest, RemoveTimestampsAndMillisecondsOfSelectedPoints) {
    auto track = makeTrack("T", 5);
    PointList points = track->itemPoints();
    points[1]->setTime(atSeconds(0.75));                       // 10:00:00.750
    points[2]->setTime(Instant::fromMicroseconds(-1'250'000)); // 1969-12-31 23:59:58.750
    points[3]->setTime(std::nullopt);
    points[4]->setTime(atSeconds(240.5)); // unselected, keeps its fraction
    load({track});
    selectRanges(track, {{1, 2}});
    DocumentSnapshot start = snapshot();

    ASSERT_TRUE(TrackCommands::removeMillisecondDataOfSelection(document));
    const auto& cut = track->itemPoints();
    EXPECT_EQ(cut[1]->time(), atSeconds(0));
    EXPECT_EQ(cut[2]->time(), Instant::fromMicroseconds(-1'000'000)); // toward zero
    EXPECT_FALSE(cut[3]->time());
    EXPECT_EQ(cut[4], points[4]);
    expectOneUndoableStep("Remove Millisecond Data", start);

    load({track});
    start = snapshot();
    ASSERT_TRUE(TrackCommands::removeTimestampsOfSelection(document));
    EXPECT_TRUE(track->itemPoints()[0]->time());
    EXPECT_FALSE(track->itemPoints()[2]->time());
    EXPECT_DOUBLE_EQ(track->itemPoints()[2]->longitude(), points[2]->longitude());
    expectOneUndoableStep("Remove Timestamps", start);
}

TEST_F(TrackCommandsTest, SelectionColorsFromTheMenuAndThePool) {
    auto a = makeTrack("A", 2), b = makeTrack("B", 2, 9.0), c = makeTrack("C", 2, 10.0);
    load({a, b, c});
    selectWhole(a);
    selectWhole(c);
    DocumentSnapshot start = snapshot();
    ASSERT_TRUE(TrackCommands::setSelectionColor(document, 6));
    EXPECT_EQ(colorName(a) + colorName(b) + colorName(c), "BlueMagentaBlue");
    expectOneUndoableStep("Change Selection Color", start);

    start = snapshot();
    startFresh();
    ASSERT_TRUE(TrackCommands::resetColorsOfSelectedTracks(document));
    EXPECT_EQ(colorName(a) + colorName(c), "DarkMagentaMagenta");
    expectOneUndoableStep("Reset Selection Color", start);
    // The pool order runs through the ten base colours and starts again.
    std::vector<std::string> handedOut;
    document.resetPathColors();
    for (int i = 0; i < 11; ++i)
        handedOut.push_back(*ItemColor::stringFromItemColor(document.nextPathColor()));
    EXPECT_EQ(handedOut, (std::vector<std::string>{"DarkMagenta", "Magenta", "DarkBlue", "Blue",
                                                   "DarkYellow", "Yellow", "DarkRed", "Red",
                                                   "DarkGreen", "Green", "DarkMagenta"}));
}

TEST_F(TrackCommandsTest, SelectionCommands) {
    auto a = makeTrack("A", 6), b = makeTrack("B", 4, 9.0), c = makeTrack("C", 4, 10.0);
    load({a, b, c});
    selectRanges(a, {{1, 2}});
    // Not undoable by default: the selection changes, history does not.
    ASSERT_TRUE(TrackCommands::invertSelection(document));
    EXPECT_EQ(a->itemSelection().ranges(), (std::vector<IndexRange>{{0, 1}, {3, 2}}));
    EXPECT_TRUE(b->itemSelection().isEmpty());
    endEvent();
    EXPECT_FALSE(document.undoManager().canUndo());

    preferences.setTrackSelectionChangesAreUndoable(true);
    startFresh();
    DocumentSnapshot start = snapshot();
    ASSERT_TRUE(TrackCommands::invertSelection(document));
    EXPECT_EQ(a->itemSelection().ranges(), (std::vector<IndexRange>{{1, 2}}));
    expectOneUndoableStep("Invert Selection", start);
    // Deselect and Select All are named steps too, not an unnamed "Undo".
    startFresh();
    start = snapshot();
    ASSERT_TRUE(TrackCommands::deselectSelection(document));
    EXPECT_FALSE(document.hasSelection());
    expectOneUndoableStep("Change Selection", start);
    startFresh();
    start = snapshot();
    TrackCommands::selectAll(document);
    expectOneUndoableStep("Change Selection", start);
}
