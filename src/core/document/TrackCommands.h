#pragma once

#include "core/model/GPSItem.h"

#include <array>
#include <functional>
#include <string_view>

namespace wend {

class ItemMutatorDialog;
class WendDocument;

// The editing commands of a document window. Each works on the document's current selection,
// changes the model only through the document's mutation layer and forms one undo step under
// its fixed name. A command returns false, changing nothing and recording nothing, when its
// precondition fails (no selection, nothing to merge, an unknown sort title, a cancelled
// dialog).
//
// Undo steps: every command opens and closes its own group, so a command run inside another
// (Delete inside Extract Selection) stays part of the outer step, whose name is set last.
class TrackCommands {
public:
    static constexpr std::string_view kDeleteActionName = "Delete";
    static constexpr std::string_view kDeleteAndMergeActionName = "Delete and Merge";
    static constexpr std::string_view kMergeTracksActionName = "Merge Tracks";
    static constexpr std::string_view kExtractSelectionActionName = "Extract Selection";
    static constexpr std::string_view kReversePointsActionName = "Reverse Points";
    static constexpr std::string_view kReverseTrackOrderActionName = "Reverse Track Order";
    static constexpr std::string_view kSortTracksActionName = "Sort Tracks";
    static constexpr std::string_view kChronologicallySortPointsActionName =
        "Chronologically Sort Points";
    static constexpr std::string_view kRemoveTimestampsActionName = "Remove Timestamps";
    static constexpr std::string_view kRemoveMillisecondDataActionName = "Remove Millisecond Data";
    static constexpr std::string_view kChangeSelectionColorActionName = "Change Selection Color";
    static constexpr std::string_view kResetSelectionColorActionName = "Reset Selection Color";
    static constexpr std::string_view kInvertSelectionActionName = "Invert Selection";
    static constexpr std::string_view kOptimizeSelectionActionName = "Optimize Selection";
    static constexpr std::string_view kSplitSelectionAtRestStopsActionName =
        "Split Selection at Rest-stops";
    static constexpr std::string_view kOffsetTimestampsActionName = "Offset Timestamps";
    static constexpr std::string_view kOverwriteTimestampsActionName = "Overwrite Timestamps";
    static constexpr std::string_view kEditWaypointActionName = "Edit Waypoint";

    static constexpr std::string_view kWaypointsNotMergedTitle = "Waypoints Will Not Be Merged";
    static constexpr std::string_view kWaypointsNotMergedText =
        "The current selection contains waypoints. These will not be merged.";

    // The titles of the sort menu, each naming the key it sorts by.
    static const std::array<std::string_view, 7>& sortTitles();

    // Removes the selected stretches: selected waypoints and one-point items go, a selected
    // track is cut into pieces (each with the next path colour) that take its place.
    static bool deleteSelection(WendDocument& document);
    // Delete, then merge the pieces it made into one track at the end of the list.
    static bool deleteAndMerge(WendDocument& document);
    // Joins the selected tracks and routes into one item at the end of the list, its points
    // ordered by time. Selected waypoints stay where they are; the user is told so.
    static bool mergeSelectedTracks(WendDocument& document);
    // Moves each selected stretch into a new item of its own at the end of the list.
    static bool extractSelectionAsNewTracks(WendDocument& document);
    // Reverses the positions of each selected item's points while the times keep their order.
    static bool reverseSelectedTracks(WendDocument& document);
    static bool reverseTrackOrder(WendDocument& document);
    // Sorts all items ascending by the key that the title names; items lacking the key go
    // last, and items with equal keys keep their order.
    static bool sortTracks(WendDocument& document, std::string_view title);
    static bool chronologicallySortPoints(WendDocument& document);
    static bool removeTimestampsOfSelection(WendDocument& document);
    // Cuts the selected points' times to whole seconds, toward zero.
    static bool removeMillisecondDataOfSelection(WendDocument& document);
    // Paints the selected items in the base colour of the menu tag (0 to 9).
    static bool setSelectionColor(WendDocument& document, int tag);
    // Gives the selected items fresh path colours from the start of the pool.
    static bool resetColorsOfSelectedTracks(WendDocument& document);
    // Undoable only while the user has made selection changes undoable.
    static bool invertSelection(WendDocument& document);
    static bool deselectSelection(WendDocument& document);
    // Selects every item, keeping partial selections as they are.
    static void selectAll(WendDocument& document);

    // The dialog commands: the dialog gets copies of all items and its result replaces them.
    static bool optimizeSelection(WendDocument& document, ItemMutatorDialog& dialog);
    static bool splitSelectionAtRestStops(WendDocument& document, ItemMutatorDialog& dialog);
    static bool offsetTimestampsOfSelection(WendDocument& document, ItemMutatorDialog& dialog);
    static bool overwriteTimestampsOfSelection(WendDocument& document, ItemMutatorDialog& dialog);
    // Only with exactly one selected item, a waypoint.
    static bool editWaypoint(WendDocument& document, ItemMutatorDialog& dialog);

    // What Delete leaves of one item: nothing for a selected item of one point, the item
    // itself when nothing of it is selected, else its pieces in point order, each a copy with
    // a part of the points, an empty selection and the colour `nextColor` gives.
    static ItemList piecesAfterDeleting(const GPSItemPtr& item,
                                        const std::function<ItemColor()>& nextColor);

private:
    static bool runDialog(WendDocument& document, ItemMutatorDialog& dialog,
                          std::string_view actionName);
    static void deleteSelectedStretches(WendDocument& document);
};

} // namespace wend
