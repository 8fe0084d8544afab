#include "core/document/ViewCommands.h"

#include "CommandTestSupport.h"

#include <gtest/gtest.h>

using namespace wend;
using namespace wend::test;

namespace {
class ViewCommandsTest : public CommandTest {};
} // namespace

TEST_F(ViewCommandsTest, HidingAndShowingAreNeitherUndoableNorEdits) {
    auto a = makeTrack("A", 3);
    auto b = makeTrack("B", 3, 9.0);
    auto c = makeTrack("C", 3, 10.0);
    load({a, b, c});
    selectWhole(b);
    int redraws = 0;
    document.itemsNeedRedisplay().connect([&] { ++redraws; });

    ViewCommands::hideUnselectedTracks(document);
    EXPECT_FALSE(a->visible());
    EXPECT_TRUE(b->visible());
    EXPECT_FALSE(c->visible());
    ViewCommands::hideSelectedTracks(document);
    EXPECT_FALSE(b->visible());
    ViewCommands::showSelectedTracks(document);
    EXPECT_TRUE(b->visible() && !a->visible());
    ViewCommands::showAllTracks(document);
    EXPECT_TRUE(a->visible() && b->visible() && c->visible());
    EXPECT_EQ(redraws, 4);
    endEvent();
    EXPECT_FALSE(document.undoManager().canUndo());
    EXPECT_FALSE(document.isEdited());
}

TEST_F(ViewCommandsTest, FittingGivesTheRectangleToCentreOn) {
    auto a = makeTrack("A", 3, 8.0);  // 8.000 .. 8.002
    auto b = makeTrack("B", 5, 10.0); // 10.000 .. 10.004
    load({a, b});
    a->setVisible(false);
    b->setVisible(false);
    selectRanges(b, {{1, 2}});
    WorldRect selection = ViewCommands::fitSelectionToView(document);
    EXPECT_TRUE(b->visible());
    EXPECT_FALSE(a->visible());
    EXPECT_NEAR(selection.x, 10.001, 1e-9);
    EXPECT_NEAR(selection.width, 0.002, 1e-9);
    EXPECT_NEAR(selection.y, 47.0, 1e-9);

    WorldRect all = ViewCommands::fitTracksToView(document);
    EXPECT_TRUE(a->visible());
    EXPECT_NEAR(all.x, 8.0, 1e-9);
    EXPECT_NEAR(all.x + all.width, 10.004, 1e-9);
    endEvent();
    EXPECT_FALSE(document.isEdited());

    load({});
    EXPECT_TRUE(ViewCommands::fitTracksToView(document).isNull());
}
