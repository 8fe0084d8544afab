#include "core/document/DocumentAction.h"

#include "CommandTestSupport.h"

#include <gtest/gtest.h>
#include <set>

using namespace wend;
using namespace wend::test;

namespace {

using A = DocumentAction;
using DocumentActionTest = CommandTest;

// What needs no selection at all: the whole-document commands.
const std::set<A> kWithoutSelection = {A::ReverseTrackOrder,
                                       A::SortTracks,
                                       A::SelectAll,
                                       A::EditDocumentMetadata,
                                       A::ToggleEditablePointList,
                                       A::TracksListRename,
                                       A::TracksListSetTypeTrack,
                                       A::TracksListSetTypeRoute,
                                       A::CopyStatistics,
                                       A::UIZoom,
                                       A::ChangeMapType,
                                       A::ShowAllTracks,
                                       A::FitTracksToView,
                                       A::Import,
                                       A::MenuSetCurrentTool,
                                       A::ToolbarSetCurrentTool};

} // namespace

TEST_F(DocumentActionTest, AvailabilityFollowsTheSelection) {
    auto track = makeTrack("T", 5);
    auto linked = makeTrack("L", 3, 9.0);
    linked->setItemLink("https://example.org");
    auto waypoint = makeWaypoint("W");
    load({track, linked, waypoint});

    // Each scenario names what is enabled (first rows) or what is not (the others).
    const auto expectEnabled = [&](const std::set<A>& enabled, bool canPaste) {
        for (A action : allDocumentActions())
            EXPECT_EQ(validateUserInterfaceItem(action, document, canPaste),
                      enabled.count(action) == 1)
                << selectorOfDocumentAction(action);
    };
    const auto expectDisabled = [&](const std::set<A>& disabled, bool canPaste) {
        for (A action : allDocumentActions())
            EXPECT_EQ(validateUserInterfaceItem(action, document, canPaste),
                      disabled.count(action) == 0)
                << selectorOfDocumentAction(action);
    };

    std::set<A> idle = kWithoutSelection;
    idle.insert(A::HideUnselectedTracks);
    {
        SCOPED_TRACE("nothing selected");
        expectEnabled(idle, false);
        idle.insert(A::Paste);
        expectEnabled(idle, true);
    }
    selectRanges(track, {{1, 1}});
    {
        SCOPED_TRACE("a stretch of one track");
        expectDisabled({A::EditWaypoint, A::Paste, A::MergeSelectedTracks, A::OpenItemLink,
                        A::CopyLinkFromMetadata},
                       false);
    }
    selectWhole(linked);
    {
        SCOPED_TRACE("two tracks, one linked");
        expectDisabled({A::EditWaypoint}, true);
    }
    selectWhole(waypoint);
    {
        SCOPED_TRACE("everything");
        expectDisabled({A::EditWaypoint, A::HideUnselectedTracks, A::Paste}, false);
    }
    document.setSelectedItemIndexes({2});
    {
        SCOPED_TRACE("one waypoint");
        expectDisabled({A::Paste, A::MergeSelectedTracks, A::OpenItemLink, A::CopyLinkFromMetadata},
                       false);
    }
    load({});
    {
        SCOPED_TRACE("empty document");
        expectEnabled(kWithoutSelection, false);
    }
}
