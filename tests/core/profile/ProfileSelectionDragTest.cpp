#include "core/document/CommandTestSupport.h"
#include "core/profile/ProfileSelectionDrag.h"

#include <gtest/gtest.h>

namespace wend {
namespace {

using test::makeTrack;
using test::selectRanges;

std::vector<IndexRange> rangesOf(const GPSItemPtr& item) {
    return item->itemSelection().ranges();
}

struct DragCase {
    const char* name;
    bool shift, alt;
    std::uint64_t from, to;
    std::vector<IndexRange> first, second; // the two tracks' selections afterwards
};

class ProfileSelectionDragTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_document.addItems({makeTrack("First", 6), makeTrack("Second", 8, 9.0)});
        m_document.undoManager().removeAllActions();
    }

    // The first track holds points 0 to 2, the second points 1 to 5.
    void selectSomething() {
        selectRanges(first(), {{0, 2}});
        selectRanges(second(), {{1, 4}});
        m_document.undoManager().closeImplicitGroup();
        m_document.undoManager().removeAllActions();
    }

    // Drags over the second track, passing through points on both sides of the end.
    void drag(const DragCase& c, bool finish = true) {
        ProfileSelectionDrag drag(m_document, m_document.items(), second(), c.from,
                                  ToolModifiers::selectionModeForModifiers(
                                      ToolModifiers::recache(0, c.shift, c.alt, false)));
        for (std::uint64_t index : {c.from, std::uint64_t{7}, std::uint64_t{0}, c.to})
            drag.moveTo(index);
        if (finish)
            drag.finish();
        else
            drag.cancel();
        m_document.undoManager().closeImplicitGroup();
    }

    const GPSItemPtr& first() const { return m_document.permanentItems()[0]; }
    const GPSItemPtr& second() const { return m_document.permanentItems()[1]; }

    InMemoryPreferences m_preferences;
    WendDocument m_document{m_preferences};
};

const std::vector<DragCase> kDrags = {
    // Replace: every other item's selection goes.
    {"backwards", false, false, 4, 2, {}, {{2, 2}}},
    {"click", false, false, 6, 6, {}, {{6, 0}}},
    // Shift extends the item's selection and keeps the others.
    {"shift", true, false, 4, 7, {{0, 2}}, {{1, 6}}},
    // Alt subtracts; the ends of the stretch stay selected inside a longer one.
    {"alt", false, true, 2, 4, {{0, 2}}, {{1, 1}, {4, 1}}},
};

TEST_F(ProfileSelectionDragTest, SelectsWithTheMapsModifiersAsOneUndoStepOrCancels) {
    m_preferences.setTrackSelectionChangesAreUndoable(true);
    for (const DragCase& c : kDrags) {
        SCOPED_TRACE(c.name);
        selectSomething();
        drag(c);
        EXPECT_EQ(rangesOf(first()), c.first);
        EXPECT_EQ(rangesOf(second()), c.second);
        EXPECT_EQ(m_document.undoManager().undoActionName(), "Change Selection");
        ASSERT_TRUE(m_document.undoManager().undo());
        EXPECT_EQ(rangesOf(first()), (std::vector<IndexRange>{{0, 2}}));
        EXPECT_EQ(rangesOf(second()), (std::vector<IndexRange>{{1, 4}}));
        EXPECT_FALSE(m_document.undoManager().canUndo());
    }
    // Without undoable selection changes a drag records nothing.
    m_preferences.setTrackSelectionChangesAreUndoable(false);
    drag(kDrags[0]);
    EXPECT_EQ(rangesOf(second()), kDrags[0].second);
    EXPECT_FALSE(m_document.undoManager().canUndo());

    // A cancelled drag restores the selection and leaves no step.
    m_preferences.setTrackSelectionChangesAreUndoable(true);
    selectSomething();
    int notifications = 0;
    int statistics = 0;
    m_document.selectionDidChange().connect([&] { ++notifications; });
    m_document.statisticsNeedRefresh().connect([&] { ++statistics; });
    drag(kDrags[0], false);
    EXPECT_EQ(rangesOf(first()), (std::vector<IndexRange>{{0, 2}}));
    EXPECT_EQ(rangesOf(second()), (std::vector<IndexRange>{{1, 4}}));
    EXPECT_FALSE(m_document.undoManager().canUndo());
    EXPECT_EQ(m_document.undoManager().groupingLevel(), 0);
    // Every step was shown, and so was the restored selection; the statistics once, at the end.
    EXPECT_EQ(notifications, 5);
    EXPECT_EQ(statistics, 1);
}

} // namespace
} // namespace wend
