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
// clang-format off
const std::set<A> kWithoutSelection = {
    A::ReverseTrackOrder, A::SortTracks, A::SelectAll, A::EditDocumentMetadata,
    A::ToggleEditablePointList, A::TracksListRename, A::TracksListSetTypeTrack,
    A::TracksListSetTypeRoute, A::CopyStatistics, A::UIZoom, A::ChangeMapType,
    A::ShowAllTracks, A::FitTracksToView, A::Import, A::MenuSetCurrentTool,
    A::ToolbarSetCurrentTool};
// clang-format on

} // namespace

TEST_F(DocumentActionTest, AvailabilityFollowsTheSelection) {
    auto track = makeTrack("T", 5);
    auto linked = makeTrack("L", 3, 9.0);
    linked->setItemLink("https://example.org");
    auto waypoint = makeWaypoint("W");
    load({track, linked, waypoint});
    // Each scenario names what is enabled, or (`listed` false) what is not.
    const auto expect = [&](const char* scenario, const std::set<A>& actions, bool listed,
                            bool canPaste) {
        SCOPED_TRACE(scenario);
        for (A action : allDocumentActions())
            EXPECT_EQ(validateUserInterfaceItem(action, document, canPaste),
                      (actions.count(action) == 1) == listed)
                << selectorOfDocumentAction(action);
    };

    std::set<A> idle = kWithoutSelection;
    idle.insert(A::HideUnselectedTracks);
    expect("nothing selected", idle, true, false);
    idle.insert(A::Paste);
    expect("nothing selected, something to paste", idle, true, true);
    selectRanges(track, {{1, 1}});
    expect("a stretch of one track",
           {A::EditWaypoint, A::Paste, A::MergeSelectedTracks, A::OpenItemLink,
            A::CopyLinkFromMetadata},
           false, false);
    selectWhole(linked);
    expect("two tracks, one linked", {A::EditWaypoint}, false, true);
    selectWhole(waypoint);
    expect("everything", {A::EditWaypoint, A::HideUnselectedTracks, A::Paste}, false, false);
    document.setSelectedItemIndexes({2});
    expect("one waypoint",
           {A::Paste, A::MergeSelectedTracks, A::OpenItemLink, A::CopyLinkFromMetadata}, false,
           false);
    load({});
    expect("empty document", kWithoutSelection, true, false);
}
