#include "core/document/TracksList.h"

#include "core/document/ClipboardCommands.h"
#include "core/document/WendDocument.h"
#include "core/formats/KeyedArchive.h"
#include "core/processing/TrackStatistics.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <unordered_set>
#include <unistd.h>

namespace wend {

namespace {

// Unique among the lists of this process; the process id separates processes, whose
// documents may well sit at the same address.
std::string makeIdentity(const WendDocument& document) {
    static std::atomic<std::uint64_t> serial{0};
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%p-%ld-%llu", static_cast<const void*>(&document),
                  static_cast<long>(::getpid()), static_cast<unsigned long long>(++serial));
    return buffer;
}

TracksList::IndexList sortedUnique(std::vector<std::size_t> indexes) {
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    return indexes;
}

} // namespace

std::string_view TracksList::columnTitle(int column) {
    switch (column) {
    case ColorColumn:
        return "";
    case NameColumn:
        return "Name";
    case TypeColumn:
        return "Type";
    case PointsColumn:
        return "Points";
    case DistanceColumn:
        return "Distance";
    case DurationColumn:
        return "Duration";
    default:
        return {};
    }
}

TracksList::TracksList(WendDocument& document, UnitFormatter formatter)
    : m_document(document), m_formatter(std::move(formatter)), m_identity(makeIdentity(document)) {}

// ---- rows -------------------------------------------------------------------------------------

std::size_t TracksList::rowCount() const {
    return m_document.permanentItems().size();
}

GPSItemPtr TracksList::itemAtRow(std::size_t index) const {
    const auto& items = m_document.permanentItems();
    return index < items.size() ? items[index] : nullptr;
}

TracksListRow TracksList::row(std::size_t index) const {
    auto item = itemAtRow(index);
    return item ? rowForItem(*item) : TracksListRow{};
}

std::vector<TracksListRow> TracksList::rows(Figures figures) const {
    const ItemList& items = m_document.permanentItems();
    std::unordered_set<const GPSItem*> present;
    for (const auto& item : items)
        present.insert(item.get());
    std::erase_if(m_figures, [&](const auto& entry) { return !present.contains(entry.first); });
    std::vector<TracksListRow> result;
    for (const auto& item : items)
        result.push_back(rowForItem(*item, figures));
    return result;
}

bool TracksList::hasFiguresFor(const GPSItem& item) const {
    const auto found = m_figures.find(&item);
    // Revisions are never reused, also not by an item made where a removed one was.
    return found != m_figures.end() && found->second.pointsRevision == item.pointsRevision();
}

std::size_t TracksList::pointsWithoutFigures() const {
    std::size_t points = 0;
    for (const auto& item : m_document.permanentItems())
        if (item->itemType() != GPSItemType::Waypoint && !hasFiguresFor(*item))
            points += item->itemPoints().size();
    return points;
}

void TracksList::addKnownFigures(const StatisticsSnapshot::KnownFigures& known) {
    for (const auto& item : m_document.permanentItems()) {
        const auto found = known.byPointsRevision.find(item->pointsRevision());
        if (found == known.byPointsRevision.end())
            continue;
        m_figures[item.get()] = ItemFigures::of(item->pointsRevision(), found->second);
    }
}

const TracksList::ItemFigures* TracksList::figuresOf(const GPSItem& item, Figures wanted) const {
    if (hasFiguresFor(item))
        return &m_figures[&item];
    if (wanted == Figures::KnownOnly) {
        const auto found = m_figures.find(&item);
        return found != m_figures.end() ? &found->second : nullptr;
    }
    // The outlier choice changes neither figure.
    ItemFigures& figures = m_figures[&item];
    figures = ItemFigures::of(item.pointsRevision(), basicStatisticsIgnoringOutliers(item, false));
    return &figures;
}

TracksListRow TracksList::rowForItem(const GPSItem& item, Figures figures) const {
    UnitFormatter formatter = m_formatter;
    formatter.setMeasurementSystem(
        measurementSystemFromPreference(m_document.preferences().measurementSystem()));

    TracksListRow row;
    row.color = item.itemColor();
    row.name = item.itemName();
    row.type = item.itemType();
    row.typeText = std::string(textOfItemType(item.itemType()));
    row.pointCount = item.itemPoints().size();
    row.pointCountText = std::to_string(row.pointCount);
    row.visible = item.visible();
    if (item.itemType() != GPSItemType::Waypoint) {
        if (const ItemFigures* known = figuresOf(item, figures)) {
            row.distance = known->distance;
            row.duration = known->duration;
            row.distanceText = formatter.distanceStringForMetres(row.distance);
            row.durationText = UnitFormatter::timeIntervalStringForTimeInterval(row.duration);
        }
    }
    return row;
}

ItemList TracksList::itemsAtRows(const IndexList& rows) const {
    ItemList result;
    for (auto index : sortedUnique(rows))
        if (auto item = itemAtRow(index))
            result.push_back(std::move(item));
    return result;
}

// ---- selection --------------------------------------------------------------------------------

TracksList::IndexList TracksList::selectedRows() const {
    return m_document.selectedItemIndexes();
}

void TracksList::selectRows(const IndexList& rows) {
    m_document.setSelectedItemIndexes(rows);
}

// ---- context menu and editing -----------------------------------------------------------------

bool TracksList::renameRow(std::size_t row, std::string_view name) {
    auto item = itemAtRow(row);
    if (!item)
        return false;
    if (item->itemName() == name || (name.empty() && item->itemName() == GPSItem::kDefaultName))
        return false;
    item->setItemName(name);
    return true;
}

bool TracksList::copySelectedRows(Clipboard& clipboard) {
    ItemList copies;
    for (const auto& item : m_document.selectedItems()) {
        auto copy = item->copy();
        copy->setItemSelection(Selection());
        copies.push_back(std::move(copy));
    }
    if (copies.empty())
        return false;
    ClipboardCommands::writeItems(m_document, copies, clipboard);
    return true;
}

bool TracksList::deleteSelectedRows() {
    auto doomed = m_document.selectedItems();
    if (doomed.empty())
        return false;
    m_document.delegate().rememberTracksListScrollPosition();
    m_document.removeItems(doomed);
    m_document.delegate().restoreTracksListScrollPosition();
    return true;
}

ItemTypeMenuState TracksList::itemTypeMenuState() const {
    ItemTypeMenuState state;
    bool tracks = false;
    bool routes = false;
    for (const auto& item : m_document.selectedItems()) {
        switch (item->itemType()) {
        case GPSItemType::Waypoint:
            state.enabled = false;
            break;
        case GPSItemType::Track:
            tracks = true;
            break;
        case GPSItemType::Route:
            routes = true;
            break;
        case GPSItemType::Unknown:
            break;
        }
    }
    if (tracks && routes) {
        state.track = MenuItemState::Mixed;
        state.route = MenuItemState::Mixed;
    } else if (tracks) {
        state.track = MenuItemState::On;
    } else if (routes) {
        state.route = MenuItemState::On;
    }
    return state;
}

bool TracksList::setTypeOfSelectedRows(std::string_view title) {
    return setTypeOfSelectedRows(title == "Track" ? GPSItemType::Track : GPSItemType::Route);
}

bool TracksList::setTypeOfSelectedRows(GPSItemType type) {
    // A waypoint holds one position; turning it into a route or track would make a
    // one-point line of it, which is why the submenu is disabled then.
    if (!m_document.hasSelection() || !itemTypeMenuState().enabled)
        return false;
    auto& undoManager = m_document.undoManager();
    undoManager.beginUndoGrouping();
    for (const auto& item : m_document.selectedItems())
        if (item->itemType() != type)
            item->setItemType(type);
    undoManager.setActionName(kChangeTypeActionName);
    undoManager.endUndoGrouping();
    m_document.redisplayItems();
    return true;
}

// ---- drag and drop ----------------------------------------------------------------------------

std::vector<std::uint8_t> TracksList::dragPayload(const IndexList& rows) const {
    KeyedArchive::Value indexes = KeyedArchive::Value::array();
    KeyedArchive::Value items = KeyedArchive::Value::array();
    for (auto index : sortedUnique(rows)) {
        auto item = itemAtRow(index);
        if (!item)
            continue;
        indexes.push_back(static_cast<std::uint64_t>(index));
        items.push_back(KeyedArchive::encodeItem(*item));
    }
    KeyedArchive::Value payload = KeyedArchive::Value::object();
    payload["Indexes"] = std::move(indexes);
    payload["Items"] = std::move(items);
    payload["DocAddress"] = m_identity;
    return KeyedArchive::archiveValue(kDragType, std::move(payload));
}

std::size_t TracksList::dropRowForProposedRow(std::optional<std::size_t> proposedRow,
                                              std::size_t rowCount) {
    if (!proposedRow)
        return rowCount;
    return std::min(*proposedRow, rowCount);
}

bool TracksList::acceptDrop(std::span<const std::uint8_t> payload, std::size_t row) {
    auto value = KeyedArchive::unarchiveValue(payload, kDragType);
    if (!value)
        return false;
    auto indexesValue = value->find("Indexes");
    auto itemsValue = value->find("Items");
    auto addressValue = value->find("DocAddress");
    if (indexesValue == value->end() || !indexesValue->is_array() || itemsValue == value->end() ||
        !itemsValue->is_array() || addressValue == value->end() || !addressValue->is_string())
        return false;

    IndexList indexes;
    for (const auto& index : *indexesValue) {
        if (!index.is_number_unsigned())
            return false;
        indexes.push_back(static_cast<std::size_t>(index.get<std::uint64_t>()));
    }
    ItemList dropped;
    for (const auto& encoded : *itemsValue) {
        auto item = KeyedArchive::decodeItem(encoded);
        if (!item)
            return false;
        dropped.push_back(std::move(item));
    }
    if (dropped.empty() || indexes.size() != dropped.size() ||
        sortedUnique(indexes).size() != indexes.size())
        return false;
    const bool sameDocument = addressValue->get_ref<const std::string&>() == m_identity;
    if (sameDocument &&
        std::any_of(indexes.begin(), indexes.end(), [&](std::size_t i) { return i >= rowCount(); }))
        return false; // the rows are no longer the ones dragged

    row = std::min(row, rowCount());
    auto& undoManager = m_document.undoManager();
    undoManager.beginUndoGrouping();
    if (sameDocument) {
        m_document.removeItems(itemsAtRows(indexes));
        row -= static_cast<std::size_t>(
            std::count_if(indexes.begin(), indexes.end(), [&](std::size_t i) { return i < row; }));
    }
    for (auto& item : dropped)
        m_document.insertItem(std::move(item), row++);
    undoManager.setActionName(kMoveActionName);
    undoManager.endUndoGrouping();
    return true;
}

} // namespace wend
