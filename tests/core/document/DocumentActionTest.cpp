#include "core/document/DocumentAction.h"

#include "CommandTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace wend;
using namespace wend::test;

namespace {

using A = DocumentAction;

const std::set<A> kNeedSelection = {
    A::ExportSelection,
    A::ExtractSelectionAsNewTracks,
    A::SplitSelectionAtRestStops,
    A::OptimizeSelection,
    A::OffsetTimestampsOfSelection,
    A::OverwriteTimestampsOfSelection,
    A::ChronologicallySortPoints,
    A::RemoveMillisecondDataOfSelection,
    A::RemoveTimestampsOfSelection,
    A::SetSelectionColor,
    A::ResetColorsOfSelectedTracks,
    A::DeselectSelection,
    A::InvertSelection,
    A::ReverseSelectedTracks,
    A::FitSelectionToView,
    A::ShowSelectionInGoogleEarth,
    A::CopyCenterCoordsOfSelection,
    A::Delete,
    A::DeleteAndMerge,
    A::EditSelectionMetadata,
    A::Cut,
    A::Copy,
    A::TracksListCopy,
    A::TracksListDelete,
    A::HideSelectedTracks,
    A::ShowSelectedTracks,
};

struct State {
    bool selection = false;
    bool oneWaypointSelected = false;
    bool severalSelected = false;
    bool someUnselected = false;
    bool selectedLink = false;
    bool canPaste = false;
};

bool expectedAvailability(A action, const State& s) {
    if (kNeedSelection.count(action))
        return s.selection;
    switch (action) {
    case A::EditWaypoint:
        return s.oneWaypointSelected;
    case A::Paste:
        return s.canPaste;
    case A::MergeSelectedTracks:
        return s.severalSelected;
    case A::HideUnselectedTracks:
        return s.someUnselected;
    case A::OpenItemLink:
    case A::CopyLinkFromMetadata:
        return s.selectedLink;
    default:
        return true;
    }
}

using DocumentActionTest = CommandTest;

} // namespace

TEST_F(DocumentActionTest, AvailabilityFollowsTheSelection) {
    auto track = makeTrack("T", 5);
    auto linked = makeTrack("L", 3, 9.0);
    linked->setItemLink("https://example.org");
    auto waypoint = makeWaypoint("W");
    load({track, linked, waypoint});

    auto check = [&](const State& state, const char* what) {
        for (A action : allDocumentActions())
            EXPECT_EQ(validateUserInterfaceItem(action, document, state.canPaste),
                      expectedAvailability(action, state))
                << what << ": " << selectorOfDocumentAction(action);
    };

    check({false, false, false, true, false, false}, "nothing selected");
    check({false, false, false, true, false, true}, "nothing selected, clipboard full");

    selectRanges(track, {{1, 1}});
    check({true, false, false, true, false, false}, "a stretch of one track");

    selectWhole(linked);
    check({true, false, true, true, true, true}, "two tracks, one linked");

    selectWhole(waypoint);
    check({true, false, true, false, true, false}, "everything");

    track->setItemSelection(track->itemSelection().selectionByDeselectingAll());
    linked->setItemSelection(linked->itemSelection().selectionByDeselectingAll());
    check({true, true, false, true, false, false}, "one waypoint");

    load({});
    check({false, false, false, false, false, false}, "empty document");

    // Every action has its selector, and each selector names one action (the two item-type
    // entries share theirs).
    std::map<std::string_view, int> uses;
    for (A action : allDocumentActions()) {
        EXPECT_FALSE(selectorOfDocumentAction(action).empty());
        ++uses[selectorOfDocumentAction(action)];
    }
    for (const auto& [selector, count] : uses)
        EXPECT_EQ(count, selector == "tracksListSetType:" ? 2 : 1) << selector;
}
