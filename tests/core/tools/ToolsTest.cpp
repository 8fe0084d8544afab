#include "ToolTestSupport.h"
#include "core/document/CommandTestSupport.h"
#include "core/tools/EditPointTool.h"
#include "core/tools/ToolModifiers.h"

#include <gtest/gtest.h>

using namespace wend;
using namespace wend::test;

namespace {

constexpr std::uint32_t kShift = ToolModifiers::kShift;
constexpr std::uint32_t kAlt = ToolModifiers::kOption;
constexpr std::uint32_t kCtrl = ToolModifiers::kCommand;

// The modes each modifier selects are driven through the tools below and the profile drag.
TEST(ToolModifiersTest, OneRoleAtATimeAndThePanModeSurvives) {
    EXPECT_EQ(ToolModifiers::recache(0, true, false, true), kShift);
    EXPECT_EQ(ToolModifiers::recache(0, false, true, true), kAlt);
    EXPECT_EQ(ToolModifiers::recache(ToolModifiers::kPanMode | kCtrl, true, true, false),
              ToolModifiers::kPanMode | kShift);
}

class ToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        preferences.setTrackSelectionChangesAreUndoable(true);
        reset();
    }
    // Two tracks of ten points 0.001 degrees apart, one north of the other, and a waypoint.
    void reset() {
        document.setGPSDoc(GPSDocument::document());
        a = makeTrack("A", 10, 8.0);
        b = makeTrack("B", 10, 8.0);
        for (const auto& p : b->itemPoints())
            p->setLatitude(47.002);
        waypoint = makeWaypoint("Hut", 8.015);
        document.addItems({a, b, waypoint});
        document.undoManager().removeAllActions();
    }
    GPSPoint& pointOf(const GPSItemPtr& item, std::size_t i) { return *item->itemPoints()[i]; }
    WorldPoint at(const GPSItemPtr& item, std::size_t i, double dLon = 0, double dLat = 0) {
        return {pointOf(item, i).longitude() + dLon, pointOf(item, i).latitude() + dLat};
    }
    std::vector<IndexRange> ranges(const GPSItemPtr& item) { return item->itemSelection().ranges(); }

    InMemoryPreferences preferences;
    WendDocument document{preferences};
    ToolDriver driver{document};
    GPSItemPtr a, b, waypoint;
};

// Every tool and mode: one drag is one named step; Undo gives back the state before the press,
// Redo the state after the release; a cancelled drag leaves the document as it was, no step.
TEST_F(ToolsTest, EveryToolAndModeIsOneUndoStepAndCancelLeavesNoTrace) {
    struct Case {
        const char* name;
        int tool;
        std::uint32_t modifiers;
        bool preselect;
        double fromLon, toLon, fromLat, toLat;
    };
    const Case cases[] = {
        {"Change Selection", ToolSet::RangeSelection, 0, false, 8.002, 8.005, 47, 47},
        {"Change Selection", ToolSet::RangeSelection, kShift, true, 8.006, 8.008, 47, 47},
        {"Change Selection", ToolSet::RangeSelection, kAlt, true, 8.002, 8.003, 47, 47},
        {"Change Selection", ToolSet::BoxSelection, 0, false, 8.0015, 8.0055, 46.999, 47.0005},
        {"Change Selection", ToolSet::ItemSelection, kShift, true, 8.004, 8.004, 47.0019, 47.0019},
        {"Move Points", ToolSet::BoxSelection, kCtrl, true, 8.03, 8.031, 47, 47.001},
        {"Move Point", ToolSet::ItemSelection, kCtrl, false, 8.0031, 8.0035, 47.0001, 47.0004},
        {"Add Point", ToolSet::EditPoint, 0, false, 8.0025, 8.0026, 47.0002, 47.0003},
        {"Add Point", ToolSet::EditPoint, kShift, true, 8.0095, 8.0105, 47.0, 47.0001},
        {"Move Point", ToolSet::EditPoint, kCtrl, true, 8.015, 8.016, 47.0003, 47.0004},
        {"Add Track", ToolSet::AddTrack, 0, false, 8.02, 8.021, 47.003, 47.003},
        {"Add Waypoint", ToolSet::AddWaypoint, 0, false, 8.02, 8.021, 47.003, 47.004},
    };
    for (bool cancelled : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " tool " + std::to_string(c.tool) + " modifiers " +
                         std::to_string(c.modifiers) + (cancelled ? " cancelled" : ""));
            reset();
            if (c.preselect) {
                selectRanges(a, {{2, 3}});
                document.undoManager().removeAllActions();
            }
            const DocumentSnapshot before = DocumentSnapshot::of(document);
            if (cancelled) {
                ASSERT_TRUE(driver.press(c.tool, {c.fromLon, c.fromLat}, c.modifiers));
                driver.moveTo({c.toLon, c.toLat}, c.modifiers);
                driver.cancel();
            } else {
                driver.drag(c.tool, {c.fromLon, c.fromLat}, {c.toLon, c.toLat}, c.modifiers);
            }
            EXPECT_EQ(document.undoManager().groupingLevel(), 0);
            EXPECT_FALSE(document.tempItems());
            EXPECT_FALSE(driver.host().preview);
            const DocumentSnapshot after = DocumentSnapshot::of(document);
            if (cancelled) {
                EXPECT_EQ(after, before);
                EXPECT_FALSE(document.undoManager().canUndo());
                continue;
            }
            EXPECT_NE(after, before);
            EXPECT_EQ(document.undoManager().undoActionName(), c.name);
            ASSERT_TRUE(document.undoManager().undo());
            EXPECT_EQ(DocumentSnapshot::of(document), before);
            EXPECT_FALSE(document.undoManager().canUndo());
            ASSERT_TRUE(document.undoManager().redo());
            EXPECT_EQ(DocumentSnapshot::of(document), after);
        }
    }
}

TEST_F(ToolsTest, RangeSelectionFollowsThePointerFromThePress) {
    driver.drag(ToolSet::RangeSelection, at(a, 3), at(a, 3));
    EXPECT_EQ(ranges(a), (std::vector<IndexRange>{{3, 0}}));
    driver.drag(ToolSet::RangeSelection, at(a, 7), at(a, 7), kShift);
    EXPECT_EQ(ranges(a), (std::vector<IndexRange>{{3, 0}, {7, 0}}));
    // Backwards selects what forwards does, and the selection shrinks again with the pointer.
    driver.press(ToolSet::RangeSelection, at(a, 6));
    driver.moveTo(at(a, 1));
    driver.moveTo(at(a, 2));
    driver.release();
    EXPECT_EQ(ranges(a), (std::vector<IndexRange>{{2, 4}}));
    // Pressed 100 points away from every point: clears the nearest item's selection, even
    // with Shift.
    driver.drag(ToolSet::RangeSelection, at(a, 5, 0, -0.0015), at(a, 7), kShift);
    EXPECT_TRUE(ranges(a).empty());
}

TEST_F(ToolsTest, BoxSelectionTakesRunsOfInsidePointsOfVisibleItems) {
    PointList zigzag;
    for (int i = 0; i < 7; ++i)
        zigzag.push_back(GPSPoint::pointWithLongitude(8.001 * 1 + 0.001 * i, i == 3 ? 47.01 : 47.0, GPSPoint::NaN, std::nullopt));
    a->setItemPoints(zigzag);
    selectRanges(b, {{0, 9}});
    b->setVisible(false);
    // A hidden item keeps its selection when extending, and is emptied when replacing.
    driver.drag(ToolSet::BoxSelection, {8.0005, 46.999}, {8.0075, 47.0001}, kShift);
    EXPECT_EQ(ranges(a), (std::vector<IndexRange>{{0, 2}, {4, 2}}));
    EXPECT_EQ(ranges(b), (std::vector<IndexRange>{{0, 9}}));
    driver.drag(ToolSet::BoxSelection, {8.014, 46.999}, {8.016, 47.002});
    EXPECT_EQ(ranges(waypoint), (std::vector<IndexRange>{{0, 0}}));
    EXPECT_TRUE(ranges(a).empty());
    EXPECT_TRUE(ranges(b).empty());
}

TEST_F(ToolsTest, TrackSelectionFollowsTheNearestItem) {
    driver.press(ToolSet::ItemSelection, at(a, 4, 0, 0.0002));
    EXPECT_EQ(ranges(a), (std::vector<IndexRange>{{0, 9}}));
    driver.moveTo(at(b, 4, 0, 0.0002));
    EXPECT_TRUE(ranges(a).empty());
    EXPECT_EQ(ranges(b), (std::vector<IndexRange>{{0, 9}}));
    driver.release();
}

TEST_F(ToolsTest, CtrlDragMovesTheSelectionOrAPointWithinReach) {
    // 0.0002 degrees of longitude are about 9 view points, 0.0005 about 23.
    driver.drag(ToolSet::RangeSelection, at(a, 4, 0.0005), at(a, 4, 0.0015), kCtrl);
    EXPECT_FALSE(document.undoManager().canUndo());
    driver.press(ToolSet::RangeSelection, at(a, 4, 0.0002), kCtrl);
    driver.moveTo(at(a, 4, 0.0012), kCtrl);
    ASSERT_TRUE(driver.host().preview);
    EXPECT_EQ(driver.host().preview->items.at(0).ranges, (std::vector<IndexRange>{{4, 0}}));
    EXPECT_DOUBLE_EQ(pointOf(a, 4).longitude(), 8.004); // the document waits for the release
    driver.release(kCtrl);
    EXPECT_DOUBLE_EQ(pointOf(a, 4).longitude(), 8.005);
    EXPECT_EQ(document.undoManager().undoActionName(), "Move Point");

    selectRanges(a, {{0, 1}});
    selectRanges(b, {{9, 0}});
    driver.drag(ToolSet::RangeSelection, {8.1, 46.0}, {8.101, 46.002}, kCtrl);
    EXPECT_NEAR(pointOf(a, 1).longitude(), 8.002, 1e-12);
    EXPECT_NEAR(pointOf(a, 1).latitude(), 47.002, 1e-12);
    EXPECT_NEAR(pointOf(b, 9).latitude(), 47.004, 1e-12);
    EXPECT_DOUBLE_EQ(pointOf(a, 2).longitude(), 8.002);
    EXPECT_EQ(document.undoManager().undoActionName(), "Move Points");
}

TEST_F(ToolsTest, AddedPointsGetInterpolatedOrExtrapolatedTimeAndElevation) {
    auto point = [](double lon, double elevation, std::optional<double> seconds) {
        return GPSPoint::pointWithLongitude(lon, 47, elevation,
                                            seconds ? std::optional(atSeconds(*seconds)) : std::nullopt);
    };
    struct Case {
        const char* name;
        PointList points;
        std::size_t index;
        bool extension;
        std::optional<double> seconds;
        double elevation;
    };
    const double nan = GPSPoint::NaN;
    const Case cases[] = {
        {"halfway", {point(8, 100, 0), point(8.0005, nan, {}), point(8.001, 200, 60)}, 1, false, 30, 150},
        {"on both neighbours", {point(8, 100, 0), point(8, nan, {}), point(8, 200, 60)}, 1, false, 0, 100},
        {"later neighbour untimed", {point(8, 100, 0), point(8.0005, nan, {}), point(8.001, nan, {})}, 1, false, 0, nan},
        {"earlier neighbour untimed", {point(8, 100, {}), point(8.0005, nan, {}), point(8.001, 200, 60)}, 1, false, {}, 150},
        {"second point", {point(8, 100, 0), point(8.001, nan, {})}, 1, true, 1, 100},
        {"prepended", {point(7.999, nan, {}), point(8, 100, 60), point(8.001, 110, 90)}, 0, true, 30, 90},
        {"appended", {point(8, 100, 0), point(8.001, 110, 20), point(8.002, nan, {})}, 2, true, 40, 120},
        {"step without time", {point(8, 100, {}), point(8.001, 110, 20), point(8.002, nan, {})}, 2, true, 21, 120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto item = GPSItem::item();
        item->setItemPoints(c.points);
        if (c.extension)
            EditPointTool::finalizeExtensionPoint(*item, c.index);
        else
            EditPointTool::finalizeInsertionPoint(*item, c.index);
        const GPSPoint& added = *item->itemPoints()[c.index];
        EXPECT_EQ(added.time(), c.seconds ? std::optional(atSeconds(*c.seconds)) : std::nullopt);
        if (std::isnan(c.elevation))
            EXPECT_TRUE(std::isnan(added.elevation()));
        else
            EXPECT_NEAR(added.elevation(), c.elevation, 1e-6);
    }
}

TEST_F(ToolsTest, EditPointPressesAddExtendAndMove) {
    // A plain press halfway between points 2 and 3 inserts a point there, timed halfway.
    driver.drag(ToolSet::EditPoint, at(a, 2, 0.0005, 0.0001), at(a, 2, 0.0005));
    ASSERT_EQ(a->itemPoints().size(), 11u);
    EXPECT_EQ(pointOf(a, 3).time(), atSeconds(150));
    EXPECT_DOUBLE_EQ(pointOf(a, 3).latitude(), 47.0);
    // Near a single-point track a plain press adds nothing; Shift extends it.
    auto single = makeTrack("Single", 1, 8.05);
    document.addItem(single);
    driver.drag(ToolSet::EditPoint, {8.0502, 47.0}, {8.0502, 47.0});
    EXPECT_EQ(single->itemPoints().size(), 1u);
    driver.drag(ToolSet::EditPoint, {8.0502, 47.0}, {8.0503, 47.0}, kShift);
    ASSERT_EQ(single->itemPoints().size(), 2u);
    EXPECT_EQ(pointOf(single, 1).time(), atSeconds(1));
    EXPECT_DOUBLE_EQ(pointOf(single, 1).longitude(), 8.0503);
    // Releasing Shift first runs the insertion rule, which leaves an end point untimed.
    driver.press(ToolSet::EditPoint, {8.0506, 47.0}, kShift);
    driver.release(0);
    ASSERT_EQ(single->itemPoints().size(), 3u);
    EXPECT_FALSE(pointOf(single, 2).time());
    // Ctrl far from everything still moves the nearest point, to the pointer.
    driver.drag(ToolSet::EditPoint, {8.2, 47.1}, {8.3, 47.1}, kCtrl);
    EXPECT_EQ(document.undoManager().undoActionName(), "Move Point");
}

TEST_F(ToolsTest, AltRemovesOnlyAMarkedPoint) {
    // Without a pointer move while Alt is held nothing is marked.
    EXPECT_FALSE(driver.press(ToolSet::EditPoint, at(waypoint, 0), kAlt));
    EXPECT_EQ(document.permanentItems().size(), 3u);
    auto* tool = static_cast<EditPointTool*>(driver.tools().tool(ToolSet::EditPoint));
    driver.hover(ToolSet::EditPoint, at(waypoint, 0, 0.001), kAlt); // 47 points away
    EXPECT_FALSE(tool->closestPoint());
    driver.hover(ToolSet::EditPoint, at(waypoint, 0, 0.0001), kAlt);
    EXPECT_EQ(tool->closestPoint(), waypoint->itemPoints()[0]);
    EXPECT_FALSE(driver.press(ToolSet::EditPoint, at(waypoint, 0, 0.0001), kAlt));
    document.undoManager().closeImplicitGroup();
    EXPECT_EQ(document.permanentItems().size(), 2u);
    EXPECT_EQ(document.undoManager().undoActionName(), "Remove Point");
    // Marking follows the pointer while Alt is held and ends without it.
    driver.hover(ToolSet::EditPoint, at(a, 9), kAlt);
    EXPECT_FALSE(driver.press(ToolSet::EditPoint, at(a, 9), kAlt));
    document.undoManager().closeImplicitGroup();
    EXPECT_EQ(a->itemPoints().size(), 9u);
    driver.hover(ToolSet::EditPoint, at(a, 8), 0);
    EXPECT_FALSE(tool->closestPoint());
}

TEST_F(ToolsTest, AddTrackAndWaypoint) {
    driver.drag(ToolSet::AddTrack, {8.03, 47.01}, {8.031, 47.011});
    const GPSItemPtr track = document.permanentItems().back();
    ASSERT_EQ(track->itemPoints().size(), 1u);
    EXPECT_DOUBLE_EQ(pointOf(track, 0).longitude(), 8.031);
    EXPECT_EQ(driver.host().selectedPosition, ToolSet::EditPoint);

    // A cancelled editor leaves the document as it was, but the preview's colour is used up.
    const DocumentSnapshot before = DocumentSnapshot::of(document);
    driver.host().confirmEditor = false;
    driver.press(ToolSet::AddWaypoint, {8.04, 47.01});
    ASSERT_TRUE(document.tempItems());
    const std::optional<ItemColor> previewColor = document.tempItems()->back()->itemColor();
    driver.release();
    EXPECT_EQ(DocumentSnapshot::of(document), before);
    EXPECT_NE(document.nextPathColor(), previewColor);
    driver.host().confirmEditor = true;
    driver.drag(ToolSet::AddWaypoint, {8.04, 47.01}, {8.041, 47.012});
    EXPECT_EQ(document.permanentItems().back()->itemName(), "Summit");
    EXPECT_DOUBLE_EQ(pointOf(document.permanentItems().back(), 0).latitude(), 47.012);
}

} // namespace
