#include "core/document/TracksList.h"

#include "CommandTestSupport.h"
#include "core/document/ClipboardCommands.h"
#include "core/formats/KeyedArchive.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace wend;
using namespace wend::test;

namespace {

class TracksListTest : public CommandTest {
protected:
    TracksListTest() : list(document, UnitFormatter(MeasurementSystem::Metric, "en_US", "UTC")) {}

    // Five tracks T0..T4 of three points each.
    void loadFive() {
        ItemList items;
        for (int i = 0; i < 5; ++i)
            items.push_back(makeTrack("T" + std::to_string(i), 3, 8.0 + i));
        load(items);
    }

    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& item : document.permanentItems())
            result.push_back(item->itemName());
        return result;
    }

    TracksList list;
};

} // namespace

TEST_F(TracksListTest, RowsShowNameColourTypePointsDistanceAndDuration) {
    auto track = makeTrack("Ride", 3);
    auto route = makeTrack("Plan", 2, 9.0, 0, GPSItemType::Route);
    route->setItemPoints({GPSPoint::pointWithLongitude(9, 47, GPSPoint::NaN, std::nullopt),
                          GPSPoint::pointWithLongitude(9.01, 47, GPSPoint::NaN, std::nullopt)});
    auto waypoint = makeWaypoint("Hut");
    load({track, route, waypoint});

    const auto text = [](const TracksListRow& r) {
        return r.name + "|" + r.typeText + "|" + r.pointCountText + "|" + r.distanceText + "|" +
               r.durationText;
    };
    ASSERT_EQ(list.rowCount(), 3u);
    const auto rows = list.rows();
    // Two steps of 0.001 degrees at 47 N, a minute each; a route without times has a distance
    // but an unknown duration; a waypoint has neither.
    EXPECT_EQ(text(rows[0]), "Ride|Track|3|151.68 m|0h 2m 0s");
    EXPECT_EQ(text(rows[1]), "Plan|Route|2|758.35 m|Unknown");
    EXPECT_EQ(text(rows[2]), "Hut|Waypoint|1||");
    EXPECT_EQ(rows[0].color, track->itemColor());
    // The measurement system is read at every use.
    preferences.setMeasurementSystem(Preferences::kImperialSystem);
    EXPECT_EQ(list.row(0).distanceText, "497.65 ft");
}

// The figures are kept between reads: each way the points can change must show.
TEST_F(TracksListTest, FiguresFollowEveryChangeOfThePoints) {
    auto track = makeTrack("Ride", 3);
    load({track, makeTrack("Other", 3)});
    const double whole = list.row(0).distance;

    track->replaceItemPoints(2, 1, {});
    endEvent();
    EXPECT_LT(list.row(0).distance, whole - 50);
    document.undoManager().undo();
    EXPECT_DOUBLE_EQ(list.row(0).distance, whole);

    track->itemPoints()[2]->setLongitude(track->itemPoints()[2]->longitude() + 0.01);
    track->pointsDidChangeInPlace();
    EXPECT_GT(list.row(0).distance, whole + 500);
    EXPECT_EQ(list.rows().size(), 2u);

    // Figures walked elsewhere, of whole items whatever is selected: until they come the rows
    // show the last figures known, none for an item never walked.
    track->itemPoints()[2]->setLongitude(track->itemPoints()[2]->longitude() - 0.01);
    track->pointsDidChangeInPlace();
    document.insertItem(makeTrack("New", 3), 2);
    selectRanges(track, {IndexRange{0, 1}});
    EXPECT_EQ(list.pointsWithoutFigures(), 6u);
    auto rows = list.rows(TracksList::Figures::KnownOnly);
    EXPECT_GT(rows[0].distance, whole + 500);
    EXPECT_EQ(rows[2].distanceText, "");
    StatisticsSnapshot walk(document, UnitFormatter(), {}, 100, StatisticsSnapshot::Scope::WholeItems);
    walk.compute();
    list.addKnownFigures(walk.knownFigures());
    EXPECT_EQ(list.pointsWithoutFigures(), 0u);
    rows = list.rows(TracksList::Figures::KnownOnly);
    EXPECT_DOUBLE_EQ(rows[0].distance, whole);
    EXPECT_EQ(rows[2].distance, list.row(1).distance) << "the same points";
}

TEST_F(TracksListTest, RenamingARowIsUndoableWithoutANameOfItsOwn) {
    loadFive();
    auto before = snapshot();
    ASSERT_TRUE(list.renameRow(1, "Morning"));
    EXPECT_EQ(document.permanentItems()[1]->itemName(), "Morning");
    expectOneUndoableStep("", before);
    // An unchanged name, an emptied default name and a missing row record nothing.
    startFresh();
    before = snapshot();
    EXPECT_FALSE(list.renameRow(2, "T2"));
    EXPECT_FALSE(list.renameRow(5, "Nowhere"));
    expectNothingRecorded(before);
}

TEST_F(TracksListTest, DraggedRowsMoveAsOneStepAndArriveFromOtherWindowsAsCopies) {
    loadFive();
    selectWhole(document.permanentItems()[0]);
    selectWhole(document.permanentItems()[2]);
    startFresh();
    auto before = snapshot();
    ASSERT_TRUE(list.acceptDrop(list.dragPayload({2, 0}),
                                TracksList::dropRowForProposedRow(4, list.rowCount())));
    EXPECT_EQ(names(), (std::vector<std::string>{"T1", "T3", "T0", "T2", "T4"}));
    // The moved rows are decoded copies that keep their points, colours and selections.
    const auto& moved = document.permanentItems()[2];
    EXPECT_EQ(moved->itemPoints().size(), 3u);
    EXPECT_EQ(moved->itemColor(), before.items[0].color);
    EXPECT_TRUE(moved->itemSelection().isFull());
    expectOneUndoableStep("Move Tracks", before);
    // Dropping on the last row's far side or outside any row goes to the end; a drop inside
    // the dragged block leaves the order.
    EXPECT_EQ(TracksList::dropRowForProposedRow(std::nullopt, 5), 5u);
    EXPECT_EQ(TracksList::dropRowForProposedRow(9, 5), 5u);
    document.undoManager().undo();
    ASSERT_TRUE(list.acceptDrop(list.dragPayload({1, 2}), 2));
    EXPECT_EQ(names(), (std::vector<std::string>{"T0", "T1", "T2", "T3", "T4"}));
    endEvent();
    ASSERT_TRUE(list.acceptDrop(list.dragPayload({0}), 5));
    EXPECT_EQ(names(), (std::vector<std::string>{"T1", "T2", "T3", "T4", "T0"}));
    // From another window the rows are copied in and the source stays as it was.
    loadFive();
    WendDocument other(preferences);
    other.setGPSDoc(GPSDocument::documentWithItems({makeTrack("Far", 4), makeTrack("Away", 2)}));
    other.undoManager().closeImplicitGroup();
    other.undoManager().removeAllActions();
    const auto sourceBefore = DocumentSnapshot::of(other);
    before = snapshot();
    ASSERT_TRUE(list.acceptDrop(TracksList(other).dragPayload({0, 1}), 1));
    EXPECT_EQ(names(), (std::vector<std::string>{"T0", "Far", "Away", "T1", "T2", "T3", "T4"}));
    EXPECT_EQ(document.permanentItems()[1]->itemPoints().size(), 4u);
    EXPECT_EQ(document.permanentItems()[1]->itemColor(), other.permanentItems()[0]->itemColor());
    EXPECT_EQ(DocumentSnapshot::of(other), sourceBefore);
    EXPECT_FALSE(other.undoManager().canUndo());
    expectOneUndoableStep("Move Tracks", before);
}

TEST_F(TracksListTest, UnreadablePayloadsChangeNothing) {
    loadFive();
    auto before = snapshot();
    EXPECT_FALSE(list.acceptDrop(std::vector<std::uint8_t>{0x01, 0x02, 0xff}, 0));
    // A document archive is not a drag payload.
    EXPECT_FALSE(list.acceptDrop(KeyedArchive::archiveDocument(*document.GPSDoc()), 0));

    auto payloadWith = [&](KeyedArchive::Value indexes, std::size_t itemCount,
                           std::string address) {
        KeyedArchive::Value value = KeyedArchive::Value::object();
        value["Indexes"] = std::move(indexes);
        value["Items"] = KeyedArchive::Value::array();
        for (std::size_t i = 0; i < itemCount; ++i)
            value["Items"].push_back(KeyedArchive::encodeItem(*makeTrack("X", 2)));
        value["DocAddress"] = std::move(address);
        return KeyedArchive::archiveValue(TracksList::kDragType, std::move(value));
    };
    // Counts that disagree, negative or repeated indexes, and rows of this list that no
    // longer exist would remove the wrong items.
    EXPECT_FALSE(list.acceptDrop(payloadWith({0, 1}, 1, list.documentIdentity()), 0));
    EXPECT_FALSE(list.acceptDrop(payloadWith({-1}, 1, "elsewhere"), 0));
    EXPECT_FALSE(list.acceptDrop(payloadWith({1, 1}, 2, list.documentIdentity()), 0));
    EXPECT_FALSE(list.acceptDrop(payloadWith({7}, 1, list.documentIdentity()), 0));
    EXPECT_FALSE(list.acceptDrop(payloadWith(KeyedArchive::Value::array(), 0, "elsewhere"), 0));
    expectNothingRecorded(before);
}

TEST_F(TracksListTest, ItemTypeMenuFollowsTheSelectionAndChangesTypes) {
    auto track = makeTrack("Track", 3), route = makeTrack("Route", 3, 9.0, 0, GPSItemType::Route);
    load({track, route, makeWaypoint("Hut")});

    list.selectRows({0, 1});
    EXPECT_EQ(list.itemTypeMenuState().track, MenuItemState::Mixed);
    list.selectRows({0});
    EXPECT_EQ(list.itemTypeMenuState().track, MenuItemState::On);
    EXPECT_EQ(list.itemTypeMenuState().route, MenuItemState::Off);
    // With a waypoint selected nothing changes type.
    list.selectRows({1, 2});
    EXPECT_FALSE(list.itemTypeMenuState().enabled);
    startFresh();
    auto before = snapshot();
    EXPECT_FALSE(list.setTypeOfSelectedRows("Track"));
    expectNothingRecorded(before);

    list.selectRows({1});
    startFresh();
    before = snapshot();
    ASSERT_TRUE(list.setTypeOfSelectedRows("Track"));
    EXPECT_EQ(route->itemType(), GPSItemType::Track);
    expectOneUndoableStep("Change Item Type", before);
    list.selectRows({0});
    ASSERT_TRUE(list.setTypeOfSelectedRows("Route"));
    EXPECT_EQ(track->itemType(), GPSItemType::Route);
}

TEST_F(TracksListTest, DeletingRowsIsOneStepWithoutANameOfItsOwn) {
    loadFive();
    EXPECT_FALSE(list.deleteSelectedRows());
    list.selectRows({1, 3});
    EXPECT_EQ(list.selectedRows(), (TracksList::IndexList{1, 3}));
    startFresh();
    auto before = snapshot();
    ASSERT_TRUE(list.deleteSelectedRows());
    EXPECT_EQ(names(), (std::vector<std::string>{"T0", "T2", "T4"}));
    expectOneUndoableStep("", before);
}

TEST_F(TracksListTest, CopyingRowsPutsWholeItemsOnTheClipboard) {
    loadFive();
    InMemoryClipboard clipboard;
    clipboard.setText("kept");
    EXPECT_FALSE(list.copySelectedRows(clipboard));
    EXPECT_EQ(clipboard.text(), "kept");
    // A partial selection still copies the whole item.
    selectRanges(document.permanentItems()[1], {{1, 1}});
    selectWhole(document.permanentItems()[4]);
    startFresh();
    auto before = snapshot();
    ASSERT_TRUE(list.copySelectedRows(clipboard));
    expectNothingRecorded(before);

    auto copied = ClipboardCommands::pastedDocument(clipboard);
    ASSERT_TRUE(copied);
    ASSERT_EQ(copied->documentItems().size(), 2u);
    EXPECT_EQ(copied->documentItems()[0]->itemPoints().size(), 3u);
    EXPECT_EQ(copied->documentItems()[1]->itemName(), "T4");
}
