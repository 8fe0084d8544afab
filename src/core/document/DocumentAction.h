#pragma once

#include <array>
#include <string_view>

namespace wend {

class WendDocument;

// Every command a document window offers, so that whether each is available is decided in
// one place. The Qt layer maps its menu entries and buttons onto these.
enum class DocumentAction {
    // track commands
    Delete,
    DeleteAndMerge,
    MergeSelectedTracks,
    ExtractSelectionAsNewTracks,
    ReverseSelectedTracks,
    ReverseTrackOrder,
    SortTracks,
    ChronologicallySortPoints,
    RemoveTimestampsOfSelection,
    RemoveMillisecondDataOfSelection,
    SetSelectionColor,
    ResetColorsOfSelectedTracks,
    InvertSelection,
    DeselectSelection,
    SelectAll,
    OptimizeSelection,
    SplitSelectionAtRestStops,
    OffsetTimestampsOfSelection,
    OverwriteTimestampsOfSelection,
    EditWaypoint,
    EditDocumentMetadata,
    EditSelectionMetadata,
    ToggleEditablePointList,
    OpenItemLink,
    // tracks list
    TracksListRename,
    TracksListCopy,
    TracksListDelete,
    TracksListSetTypeTrack,
    TracksListSetTypeRoute,
    // clipboard
    Cut,
    Copy,
    Paste,
    CopyStatistics,
    CopyCenterCoordsOfSelection,
    CopyLinkFromMetadata,
    // view
    UIZoom,
    ChangeMapType,
    HideSelectedTracks,
    HideUnselectedTracks,
    ShowSelectedTracks,
    ShowAllTracks,
    FitTracksToView,
    FitSelectionToView,
    ShowSelectionInGoogleEarth,
    // files and tools
    Import,
    ExportSelection,
    MenuSetCurrentTool,
    ToolbarSetCurrentTool,
};

inline constexpr std::size_t kDocumentActionCount =
    static_cast<std::size_t>(DocumentAction::ToolbarSetCurrentTool) + 1;

// Every action, in declaration order.
const std::array<DocumentAction, kDocumentActionCount>& allDocumentActions();

// The action's selector in the window's vocabulary ("delete:", "mergeSelectedTracks:"), for
// menus built from tables and for messages.
std::string_view selectorOfDocumentAction(DocumentAction action);

// Whether the command can run on the document as it is now. `canPaste` says whether the
// clipboard holds items, which only the Qt layer can see.
bool validateUserInterfaceItem(DocumentAction action, const WendDocument& document, bool canPaste);

} // namespace wend
