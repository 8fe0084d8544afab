#include "core/document/TrackCommands.h"

#include "core/document/ItemMutatorDialog.h"
#include "core/document/WendDocument.h"
#include "core/processing/TrackGeometry.h"
#include "core/processing/TrackStatistics.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace wend {

namespace {

// Keeps a command's registrations in one group even when a step of it throws.
class UndoGroup {
public:
    explicit UndoGroup(UndoManager& manager) : m_manager(manager) { m_manager.beginUndoGrouping(); }
    ~UndoGroup() { m_manager.endUndoGrouping(); }
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

    void setActionName(std::string_view name) { m_manager.setActionName(name); }

private:
    UndoManager& m_manager;
};

// The commands work on the document's own items, never on a preview's temporary ones.
ItemList selectedPermanentItems(const WendDocument& document) {
    ItemList result;
    for (const auto& item : document.permanentItems())
        if (!item->itemSelection().isEmpty())
            result.push_back(item);
    return result;
}

bool hasPermanentSelection(const WendDocument& document) {
    const auto& items = document.permanentItems();
    return std::any_of(items.begin(), items.end(),
                       [](const GPSItemPtr& item) { return !item->itemSelection().isEmpty(); });
}

// A copy of the item (every property but the points and the selection) holding the given
// points and no selection. Built directly rather than through copy(), which would first share
// every point of a long track only to drop them again.
GPSItemPtr copyWithPoints(const GPSItem& item, PointList points) {
    return GPSItem::itemWithName(item.itemName(), item.itemType(), std::move(points),
                                 item.itemLink(), item.itemDescription(), item.wptSym(),
                                 item.wptType(), item.itemColor(), item.visible(), Selection(),
                                 item.XMLElements());
}

// Replaces every item by the list, in two assignments that undo restores as one step.
void replaceAllItems(WendDocument& document, const ItemList& items) {
    document.delegate().rememberTracksListScrollPosition();
    document.removeAllItems();
    document.addItems(items);
    document.delegate().restoreTracksListScrollPosition();
}

// Ascending by key; items without a key go last, equal keys keep their order.
template <typename Key>
ItemList sortedByKey(const ItemList& items,
                     const std::function<std::optional<Key>(const GPSItem&)>& keyOf) {
    std::vector<std::pair<std::optional<Key>, GPSItemPtr>> keyed;
    keyed.reserve(items.size());
    for (const auto& item : items)
        keyed.emplace_back(keyOf(*item), item);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (!a.first || !b.first)
            return a.first.has_value() && !b.first.has_value();
        return *a.first < *b.first;
    });
    ItemList sorted;
    sorted.reserve(keyed.size());
    for (auto& entry : keyed)
        sorted.push_back(std::move(entry.second));
    return sorted;
}

std::optional<double> statisticOf(const GPSItem& item, std::string_view key) {
    // Outliers are always ignored here, whatever the statistics pane is set to.
    const auto statistics = basicStatisticsIgnoringOutliers(item, true);
    if (!statistics)
        return std::nullopt;
    const auto value = statistics->valueForKey(key);
    if (!value || std::isnan(*value))
        return std::nullopt;
    return value;
}

std::optional<std::string_view> statisticKeyForSortTitle(std::string_view title) {
    if (title == "Duration")
        return GPSTrackTotalDurationStatisticKey;
    if (title == "Distance Travelled")
        return GPSTrackTotalDistanceStatisticKey;
    if (title == "Distance Climbed")
        return GPSTrackDistanceAscendedKey;
    if (title == "Maximum Speed")
        return GPSTrackMaxSpeedStatisticKey;
    if (title == "Maximum Elevation")
        return GPSTrackMaximumElevationStatisticKey;
    return std::nullopt;
}

// Runs the function over the selected points' copies, as one track-data update.
bool rewriteSelectedPoints(WendDocument& document, std::string_view actionName,
                           const std::function<void(GPSPoint&)>& rewrite) {
    if (!hasPermanentSelection(document))
        return false;
    document.prepareToUpdateTrackData();
    {
        UndoGroup group(document.undoManager());
        document.updateItemPoints(
            [&](const GPSItem&, const GPSPointPtr& point, bool selected) -> GPSPointPtr {
                if (!selected)
                    return point;
                auto copy = point->copy();
                rewrite(*copy);
                return copy;
            });
        group.setActionName(actionName);
    }
    document.completeUpdatingTrackData();
    document.redisplayItems();
    return true;
}

} // namespace

const std::array<std::string_view, 7>& TrackCommands::sortTitles() {
    static const std::array<std::string_view, 7> titles = {
        "Name",          "Start Date",       "Duration", "Distance Travelled", "Distance Climbed",
        "Maximum Speed", "Maximum Elevation"};
    return titles;
}

// ---- Delete -------------------------------------------------------------------------------

ItemList TrackCommands::piecesAfterDeleting(const GPSItemPtr& item,
                                            const std::function<ItemColor()>& nextColor) {
    const Selection& selection = item->itemSelection();
    if (selection.isEmpty())
        return {item};
    const PointList& points = item->itemPoints();
    const std::uint64_t n = points.size();
    if (n < 2)
        return {};

    ItemList pieces;
    auto addPiece = [&](std::uint64_t first, std::uint64_t last) {
        auto piece = copyWithPoints(
            *item, PointList(points.begin() + static_cast<std::ptrdiff_t>(first),
                             points.begin() + static_cast<std::ptrdiff_t>(last) + 1));
        if (nextColor)
            piece->setItemColor(nextColor());
        pieces.push_back(std::move(piece));
    };

    // s is the first point of the next kept piece.
    std::uint64_t s = 0;
    for (const IndexRange& range : selection.ranges()) {
        const std::uint64_t location = range.location;
        if (location >= n)
            continue;
        if (location == 0 && range.length == 0) {
            s = 1;
        } else if (range.length == 0 && location == n - 1) {
            if (s <= n - 2)
                addPiece(s, n - 2);
            s = n - 1;
        } else {
            // A selected interior point alone cuts the track there: both pieces keep it.
            if (s < location)
                addPiece(s, location);
            s = std::min<std::uint64_t>(range.end(), n - 1);
        }
    }
    if (s < n - 1)
        addPiece(s, n - 1);
    if (n == 2 && selection.isSelectedAtIndex(0) && !selection.isSelectedAtIndex(1))
        addPiece(1, 1);
    return pieces;
}

void TrackCommands::deleteSelectedStretches(WendDocument& document) {
    const ItemList snapshot = document.permanentItems();
    ItemList result;
    result.reserve(snapshot.size());
    auto nextColor = [&document] { return document.nextPathColor(); };
    for (const auto& item : snapshot) {
        ItemList pieces = piecesAfterDeleting(item, nextColor);
        result.insert(result.end(), pieces.begin(), pieces.end());
    }
    replaceAllItems(document, result);
}

bool TrackCommands::deleteSelection(WendDocument& document) {
    if (!hasPermanentSelection(document))
        return false;
    UndoGroup group(document.undoManager());
    deleteSelectedStretches(document);
    group.setActionName(kDeleteActionName);
    return true;
}

bool TrackCommands::deleteAndMerge(WendDocument& document) {
    if (!hasPermanentSelection(document))
        return false;
    UndoGroup group(document.undoManager());
    std::unordered_set<const GPSItem*> before;
    for (const auto& item : document.permanentItems())
        before.insert(item.get());
    deleteSelectedStretches(document);

    document.prepareToUpdateSelection();
    for (const auto& item : document.permanentItems())
        if (!before.count(item.get()))
            item->setItemSelection(item->itemSelection().selectionBySelectingAll());
    document.completeUpdatingSelection();

    mergeSelectedTracks(document);
    group.setActionName(kDeleteAndMergeActionName);
    return true;
}

// ---- Merge, extract, reverse, sort ---------------------------------------------------------

bool TrackCommands::mergeSelectedTracks(WendDocument& document) {
    const ItemList selected = selectedPermanentItems(document);
    ItemList mergeable;
    for (const auto& item : selected)
        if (item->itemType() != GPSItemType::Waypoint)
            mergeable.push_back(item);
    if (mergeable.size() != selected.size())
        document.delegate().runAlert(std::string(kWaypointsNotMergedTitle),
                                     std::string(kWaypointsNotMergedText), {"Ok"});
    if (mergeable.size() < 2)
        return false;

    std::size_t total = 0;
    for (const auto& item : mergeable)
        total += item->itemPoints().size();
    PointList points;
    points.reserve(total);
    for (const auto& item : mergeable)
        points.insert(points.end(), item->itemPoints().begin(), item->itemPoints().end());
    auto merged = copyWithPoints(*mergeable.front(), std::move(points));
    TrackGeometry::sortPointsByTimestamp(*merged);

    UndoGroup group(document.undoManager());
    document.removeItems(mergeable);
    document.addItem(merged);
    group.setActionName(kMergeTracksActionName);
    return true;
}

bool TrackCommands::extractSelectionAsNewTracks(WendDocument& document) {
    if (!hasPermanentSelection(document))
        return false;
    UndoGroup group(document.undoManager());
    const ItemList extracted = document.itemsForSelectedPoints();
    deleteSelection(document);
    document.addItems(extracted);
    group.setActionName(kExtractSelectionActionName);
    return true;
}

bool TrackCommands::reverseSelectedTracks(WendDocument& document) {
    const ItemList selected = selectedPermanentItems(document);
    if (selected.empty())
        return false;
    UndoGroup group(document.undoManager());
    for (const auto& item : selected) {
        const PointList& points = item->itemPoints();
        const std::size_t n = points.size();
        PointList reversed;
        reversed.reserve(n);
        // Positions travel with the reversal; the sequence of times keeps its order.
        for (std::size_t i = 0; i < n; ++i) {
            auto copy = points[n - 1 - i]->copy();
            copy->setTime(points[i]->time());
            reversed.push_back(std::move(copy));
        }
        document.replaceItem(item, copyWithPoints(*item, std::move(reversed)));
    }
    group.setActionName(kReversePointsActionName);
    return true;
}

bool TrackCommands::reverseTrackOrder(WendDocument& document) {
    const ItemList& items = document.permanentItems();
    ItemList reversed(items.rbegin(), items.rend());
    if (reversed == items)
        return false;
    UndoGroup group(document.undoManager());
    replaceAllItems(document, reversed);
    group.setActionName(kReverseTrackOrderActionName);
    return true;
}

bool TrackCommands::sortTracks(WendDocument& document, std::string_view title) {
    const ItemList& items = document.permanentItems();
    ItemList sorted;
    if (title == "Name") {
        sorted = sortedByKey<std::string>(
            items, [](const GPSItem& item) { return std::optional<std::string>(item.itemName()); });
    } else if (title == "Start Date") {
        sorted = sortedByKey<Instant>(items, [](const GPSItem& item) { return item.startDate(); });
    } else if (auto key = statisticKeyForSortTitle(title)) {
        sorted = sortedByKey<double>(
            items, [key = *key](const GPSItem& item) { return statisticOf(item, key); });
    } else {
        return false;
    }
    if (sorted == items)
        return false;
    UndoGroup group(document.undoManager());
    replaceAllItems(document, sorted);
    group.setActionName(kSortTracksActionName);
    return true;
}

// ---- Points and times ----------------------------------------------------------------------

bool TrackCommands::chronologicallySortPoints(WendDocument& document) {
    const ItemList selected = selectedPermanentItems(document);
    if (selected.empty())
        return false;
    document.prepareToUpdateTrackData();
    {
        UndoGroup group(document.undoManager());
        for (const auto& item : selected) {
            auto copy = item->copy();
            TrackGeometry::sortPointsByTimestamp(*copy);
            document.replaceItem(item, copy);
        }
        group.setActionName(kChronologicallySortPointsActionName);
    }
    document.completeUpdatingTrackData();
    document.redisplayItems();
    return true;
}

bool TrackCommands::removeTimestampsOfSelection(WendDocument& document) {
    return rewriteSelectedPoints(document, kRemoveTimestampsActionName,
                                 [](GPSPoint& point) { point.setTime(std::nullopt); });
}

bool TrackCommands::removeMillisecondDataOfSelection(WendDocument& document) {
    return rewriteSelectedPoints(document, kRemoveMillisecondDataActionName, [](GPSPoint& point) {
        if (!point.time())
            return;
        const std::int64_t micros = point.time()->microsecondsSince1970();
        // C++ division truncates toward zero, as the cut must: before 1970 too.
        point.setTime(Instant::fromMicroseconds(micros - micros % 1'000'000));
    });
}

// ---- Colours -------------------------------------------------------------------------------

bool TrackCommands::setSelectionColor(WendDocument& document, int tag) {
    const auto& names = WendDocument::baseColors();
    if (tag < 0 || static_cast<std::size_t>(tag) >= names.size())
        return false;
    const ItemList selected = selectedPermanentItems(document);
    if (selected.empty())
        return false;
    const auto color = ItemColor::itemColorFromString(names[static_cast<std::size_t>(tag)]);
    document.prepareToUpdateTrackData();
    {
        UndoGroup group(document.undoManager());
        for (const auto& item : selected)
            item->setItemColor(color);
        group.setActionName(kChangeSelectionColorActionName);
    }
    document.completeUpdatingTrackData();
    document.redisplayItems();
    return true;
}

bool TrackCommands::resetColorsOfSelectedTracks(WendDocument& document) {
    const ItemList selected = selectedPermanentItems(document);
    if (selected.empty())
        return false;
    document.prepareToUpdateTrackData();
    {
        UndoGroup group(document.undoManager());
        document.resetPathColors();
        for (const auto& item : selected)
            item->setItemColor(document.nextPathColor());
        group.setActionName(kResetSelectionColorActionName);
    }
    document.completeUpdatingTrackData();
    document.redisplayItems();
    return true;
}

// ---- Selection -----------------------------------------------------------------------------

bool TrackCommands::invertSelection(WendDocument& document) {
    const ItemList selected = selectedPermanentItems(document);
    if (selected.empty())
        return false;
    const bool undoable = document.preferences().trackSelectionChangesAreUndoable();
    std::optional<UndoGroup> group;
    if (undoable)
        group.emplace(document.undoManager());
    document.prepareToUpdateSelection();
    for (const auto& item : selected)
        item->setItemSelection(item->itemSelection().selectionByInvertingSelection());
    document.completeUpdatingSelection();
    document.redisplayItems();
    if (group)
        group->setActionName(kInvertSelectionActionName);
    return true;
}

bool TrackCommands::deselectSelection(WendDocument& document) {
    const ItemList selected = selectedPermanentItems(document);
    if (selected.empty())
        return false;
    document.GPSViewWillChangeSelection(); // named like the map's selection changes
    for (const auto& item : selected)
        item->setItemSelection(item->itemSelection().selectionByDeselectingAll());
    document.GPSViewDidChangeSelection();
    return true;
}

void TrackCommands::selectAll(WendDocument& document) {
    WendDocument::IndexList all(document.items().size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    document.setSelectedItemIndexes(all);
}

// ---- Dialogs -------------------------------------------------------------------------------

bool TrackCommands::runDialog(WendDocument& document, ItemMutatorDialog& dialog,
                              std::string_view actionName) {
    if (!hasPermanentSelection(document))
        return false;
    return document.mutateItemsUsingController(dialog, actionName);
}

bool TrackCommands::optimizeSelection(WendDocument& document, ItemMutatorDialog& dialog) {
    return runDialog(document, dialog, kOptimizeSelectionActionName);
}

bool TrackCommands::splitSelectionAtRestStops(WendDocument& document, ItemMutatorDialog& dialog) {
    return runDialog(document, dialog, kSplitSelectionAtRestStopsActionName);
}

bool TrackCommands::offsetTimestampsOfSelection(WendDocument& document, ItemMutatorDialog& dialog) {
    return runDialog(document, dialog, kOffsetTimestampsActionName);
}

bool TrackCommands::overwriteTimestampsOfSelection(WendDocument& document,
                                                   ItemMutatorDialog& dialog) {
    return runDialog(document, dialog, kOverwriteTimestampsActionName);
}

bool TrackCommands::editWaypoint(WendDocument& document, ItemMutatorDialog& dialog) {
    const ItemList selected = selectedPermanentItems(document);
    if (selected.size() != 1 || selected.front()->itemType() != GPSItemType::Waypoint)
        return false;
    return document.mutateItemsUsingController(dialog, kEditWaypointActionName);
}

} // namespace wend
