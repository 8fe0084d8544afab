#include "core/document/ViewCommands.h"

#include "CommandTestSupport.h"

#include <gtest/gtest.h>

using namespace wend;
using namespace wend::test;

namespace {
using ViewCommandsTest = CommandTest;
} // namespace

TEST_F(ViewCommandsTest, HidingShowingAndFittingAreNeitherUndoableNorEdits) {
    auto a = makeTrack("A", 3, 8.0), b = makeTrack("B", 5, 10.0), c = makeTrack("C", 3, 11.0);
    load({a, b, c});
    selectWhole(b);
    int redraws = 0;
    document.itemsNeedRedisplay().connect([&] { ++redraws; });
    const auto visibility = [&] {
        return std::string() + "-V"[a->visible()] + "-V"[b->visible()] + "-V"[c->visible()];
    };
    ViewCommands::hideUnselectedTracks(document);
    EXPECT_EQ(visibility(), "-V-");
    ViewCommands::hideSelectedTracks(document);
    EXPECT_EQ(visibility(), "---");
    ViewCommands::showSelectedTracks(document);
    EXPECT_EQ(visibility(), "-V-");
    ViewCommands::showAllTracks(document);
    EXPECT_EQ(visibility(), "VVV");
    EXPECT_EQ(redraws, 4);
    // Fitting the selection shows its hidden track; fitting all shows every track.
    a->setVisible(false);
    b->setVisible(false);
    selectRanges(b, {{1, 2}}); // 10.001 .. 10.003
    WorldRect selection = ViewCommands::fitSelectionToView(document);
    EXPECT_EQ(visibility(), "-VV");
    EXPECT_NEAR(selection.x, 10.001, 1e-9);
    EXPECT_NEAR(selection.width, 0.002, 1e-9);
    EXPECT_NEAR(selection.y, 47.0, 1e-9);
    EXPECT_FALSE(ViewCommands::fitTracksToView(document).isNull());
    EXPECT_EQ(visibility(), "VVV");
    endEvent();
    EXPECT_FALSE(document.undoManager().canUndo());
    EXPECT_FALSE(document.isEdited());

    load({});
    EXPECT_TRUE(ViewCommands::fitTracksToView(document).isNull());
}
