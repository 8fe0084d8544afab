#include "core/document/DocumentAction.h"

#include "core/document/WendDocument.h"

#include <algorithm>

namespace wend {

namespace {
constexpr std::array<std::string_view, kDocumentActionCount> kSelectors = {
    "delete:",
    "deleteAndMerge:",
    "mergeSelectedTracks:",
    "extractSelectionAsNewTracks:",
    "reverseSelectedTracks:",
    "reverseTrackOrder:",
    "sortTracks:",
    "chronologicallySortPoints:",
    "removeTimestampsOfSelection:",
    "removeMillisecondDataOfSelection:",
    "setSelectionColor:",
    "resetColorsOfSelectedTracks:",
    "invertSelection:",
    "deselectSelection:",
    "selectAll:",
    "optimizeSelection:",
    "splitSelectionAtRestStops:",
    "offsetTimestampsOfSelection:",
    "overwriteTimestampsOfSelection:",
    "editWaypoint:",
    "editDocumentMetadata:",
    "editSelectionMetadata:",
    "toggleEditablePointList:",
    "openItemLink:",
    "tracksListRename:",
    "tracksListCopy:",
    "tracksListDelete:",
    "tracksListSetType:",
    "tracksListSetType:",
    "cut:",
    "copy:",
    "paste:",
    "copyStatistics:",
    "copyCenterCoordsOfSelection:",
    "copyLinkFromMetadata:",
    "uiZoom:",
    "changeMapType:",
    "hideSelectedTracks:",
    "hideUnselectedTracks:",
    "showSelectedTracks:",
    "showAllTracks:",
    "fitTracksToView:",
    "fitSelectionToView:",
    "showSelectionInGoogleEarth:",
    "import:",
    "exportSelection:",
    "menuSetCurrentTool:",
    "toolbarSetCurrentTool:",
};

bool someSelectedItemHasLink(const WendDocument& document) {
    const ItemList selected = document.selectedItems();
    return std::any_of(selected.begin(), selected.end(),
                       [](const GPSItemPtr& item) { return !item->itemLink().empty(); });
}
} // namespace

const std::array<DocumentAction, kDocumentActionCount>& allDocumentActions() {
    static const auto actions = [] {
        std::array<DocumentAction, kDocumentActionCount> list{};
        for (std::size_t i = 0; i < kDocumentActionCount; ++i)
            list[i] = static_cast<DocumentAction>(i);
        return list;
    }();
    return actions;
}

std::string_view selectorOfDocumentAction(DocumentAction action) {
    const auto index = static_cast<std::size_t>(action);
    return index < kSelectors.size() ? kSelectors[index] : std::string_view{};
}

bool validateUserInterfaceItem(DocumentAction action, const WendDocument& document, bool canPaste) {
    switch (action) {
    case DocumentAction::ExportSelection:
    case DocumentAction::ExtractSelectionAsNewTracks:
    case DocumentAction::SplitSelectionAtRestStops:
    case DocumentAction::OptimizeSelection:
    case DocumentAction::OffsetTimestampsOfSelection:
    case DocumentAction::OverwriteTimestampsOfSelection:
    case DocumentAction::ChronologicallySortPoints:
    case DocumentAction::RemoveMillisecondDataOfSelection:
    case DocumentAction::RemoveTimestampsOfSelection:
    case DocumentAction::SetSelectionColor:
    case DocumentAction::ResetColorsOfSelectedTracks:
    case DocumentAction::DeselectSelection:
    case DocumentAction::InvertSelection:
    case DocumentAction::ReverseSelectedTracks:
    case DocumentAction::FitSelectionToView:
    case DocumentAction::ShowSelectionInGoogleEarth:
    case DocumentAction::CopyCenterCoordsOfSelection:
    case DocumentAction::Delete:
    case DocumentAction::DeleteAndMerge:
    case DocumentAction::EditSelectionMetadata:
    case DocumentAction::Cut:
    case DocumentAction::Copy:
    case DocumentAction::TracksListCopy:
    case DocumentAction::TracksListDelete:
    case DocumentAction::HideSelectedTracks:
    case DocumentAction::ShowSelectedTracks:
        return document.hasSelection();
    case DocumentAction::EditWaypoint: {
        const ItemList selected = document.selectedItems();
        return selected.size() == 1 && selected.front()->itemType() == GPSItemType::Waypoint;
    }
    case DocumentAction::Paste:
        return canPaste;
    case DocumentAction::MergeSelectedTracks:
        return document.selectedItemIndexes().size() > 1;
    case DocumentAction::HideUnselectedTracks:
        return !document.unselectedItemIndexes().empty();
    case DocumentAction::OpenItemLink:
    case DocumentAction::CopyLinkFromMetadata:
        return someSelectedItemHasLink(document);
    default:
        return true;
    }
}

} // namespace wend
