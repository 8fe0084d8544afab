#include "core/document/WendDocument.h"

#include "core/base/SafeFileWriter.h"
#include "core/formats/GPXWriter.h"
#include "core/formats/KMLWriter.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

namespace wend {

namespace {
bool isObservedForUndo(ModelKey key) {
    switch (key) {
    case ModelKey::DocumentName:
    case ModelKey::DocumentDescription:
    case ModelKey::DocumentAuthor:
    case ModelKey::DocumentLink:
    case ModelKey::DocumentItems:
    case ModelKey::MetadataExtensions:
    case ModelKey::MetadataElements:
    case ModelKey::XMLElements:
    case ModelKey::ItemName:
    case ModelKey::ItemDescription:
    case ModelKey::ItemLink:
    case ModelKey::ItemColor:
    case ModelKey::WptSym:
    case ModelKey::WptType:
    case ModelKey::ItemType:
    case ModelKey::ItemPoints:
    case ModelKey::ItemSelection:
        return true;
    case ModelKey::XMLNamespaces:
    case ModelKey::XMLSchemaLocation:
    case ModelKey::Visible:
        break;
    }
    return false;
}

std::string lowercase(std::string text) {
    for (auto& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}
} // namespace

WendDocument::WendDocument(Preferences& preferences) : m_preferences(preferences) {
    setGPSDoc(GPSDocument::document());
    m_undoManager.removeAllActions();
    m_undoManager.markSaved();
    // Every pane reloads after Undo and Redo.
    m_undoManager.didUndo().connect([this] {
        postSelectionChangedNotification();
        postTrackDataChangedNotification();
    });
    m_undoManager.didRedo().connect([this] {
        postSelectionChangedNotification();
        postTrackDataChangedNotification();
    });
}

WendDocument::~WendDocument() {
    unbindAllItems();
    if (m_gpsDoc && m_gpsDoc->observer() == this)
        m_gpsDoc->setObserver(nullptr);
}

// ---- model and observation ------------------------------------------------------------------

void WendDocument::setGPSDoc(std::shared_ptr<GPSDocument> document) {
    unbindAllItems();
    if (m_gpsDoc && m_gpsDoc->observer() == this)
        m_gpsDoc->setObserver(nullptr);
    m_gpsDoc = document ? std::move(document) : GPSDocument::document();
    m_gpsDoc->setObserver(this);
    bindItems(m_gpsDoc->documentItems());
    m_documentNameDidChange.notify();
}

void WendDocument::unbindAllItems() {
    for (const auto& item : m_boundItems)
        if (item->observer() == this)
            item->setObserver(nullptr);
    m_boundItems.clear();
}

void WendDocument::bindItems(const ItemList& newItems) {
    unbindAllItems();
    m_boundItems = newItems;
    for (const auto& item : newItems) {
        item->setObserver(this);
        if (!item->itemColor())
            item->setItemColor(nextPathColor());
    }
}

void WendDocument::modelDidChange(const ModelChange& change) {
    // Also before the notification that follows: figures taken in between are not current.
    ++m_statisticsRevision;
    // Recorded before the side effects below: binding new items may assign them pool colours,
    // and those assignments must come after the item-list change in the undo step, or Redo
    // would hand out different colours.
    const bool selectionUndoable = m_preferences.trackSelectionChangesAreUndoable();
    if (isObservedForUndo(change.key) && change.restoreOldValue &&
        (change.key != ModelKey::ItemSelection || selectionUndoable))
        m_undoManager.registerUndo(change.restoreOldValue);

    switch (change.key) {
    case ModelKey::DocumentName:
        m_documentNameDidChange.notify();
        break;
    case ModelKey::DocumentItems:
        bindItems(m_gpsDoc->documentItems());
        break;
    case ModelKey::ItemSelection:
    case ModelKey::ItemName:
        redisplayItems();
        break;
    default:
        break;
    }
}

// ---- derived views ----------------------------------------------------------------------------

WendDocument::IndexList WendDocument::selectedItemIndexes() const {
    IndexList indexes;
    const auto& list = items();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (!list[i]->itemSelection().isEmpty())
            indexes.push_back(i);
    return indexes;
}

bool WendDocument::hasSelection() const {
    const auto& list = items();
    return std::any_of(list.begin(), list.end(), [](const GPSItemPtr& i) { return !i->itemSelection().isEmpty(); });
}

ItemList WendDocument::selectedItems() const {
    ItemList result;
    const auto& permanent = permanentItems();
    for (auto index : selectedItemIndexes())
        if (index < permanent.size())
            result.push_back(permanent[index]);
    return result;
}

WendDocument::IndexList WendDocument::unselectedItemIndexes() const {
    IndexList result;
    auto selected = selectedItemIndexes();
    for (std::size_t i = 0; i < permanentItems().size(); ++i)
        if (!std::binary_search(selected.begin(), selected.end(), i))
            result.push_back(i);
    return result;
}

ItemList WendDocument::itemsForSelectedPoints() const {
    ItemList result;
    for (const auto& item : selectedItems()) {
        const auto& points = item->itemPoints();
        for (const auto& range : item->itemSelection().ranges()) {
            if (range.location >= points.size())
                continue;
            auto stretch = item->copy();
            auto last = std::min<std::uint64_t>(range.end(), points.size() - 1);
            stretch->setItemPoints(PointList(points.begin() + static_cast<std::ptrdiff_t>(range.location),
                                             points.begin() + static_cast<std::ptrdiff_t>(last) + 1));
            stretch->setItemSelection(Selection());
            result.push_back(std::move(stretch));
        }
    }
    return result;
}

void WendDocument::setSelectedItemIndexes(const IndexList& indexes) {
    // The map's bracket: where selection changes are undoable this is one "Change Selection"
    // step, not a step without a name.
    GPSViewWillChangeSelection();
    const auto& list = items();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto& item = list[i];
        bool chosen = std::find(indexes.begin(), indexes.end(), i) != indexes.end();
        if (chosen) {
            if (item->itemSelection().isEmpty())
                item->setItemSelection(item->itemSelection().selectionBySelectingAll());
        } else if (!item->itemSelection().isEmpty()) {
            item->setItemSelection(item->itemSelection().selectionByDeselectingAll());
        }
    }
    GPSViewDidChangeSelection();
}

// ---- item list changes ------------------------------------------------------------------------

void WendDocument::assignItems(ItemList newItems) {
    prepareToUpdateTrackData();
    m_gpsDoc->setDocumentItems(std::move(newItems));
    completeUpdatingTrackData();
}

void WendDocument::addItem(GPSItemPtr item) { insertItem(std::move(item), permanentItems().size()); }

void WendDocument::addItems(const ItemList& newItems) {
    ItemList list = permanentItems();
    for (const auto& item : newItems)
        if (item)
            list.push_back(item);
    assignItems(std::move(list));
}

void WendDocument::insertItem(GPSItemPtr item, std::size_t index) {
    if (!item)
        return;
    ItemList list = permanentItems();
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(std::min(index, list.size())), std::move(item));
    assignItems(std::move(list));
}

void WendDocument::replaceItem(const GPSItemPtr& oldItem, GPSItemPtr newItem) {
    const auto& list = items();
    auto it = std::find(list.begin(), list.end(), oldItem);
    if (it == list.end())
        return;
    std::size_t index = static_cast<std::size_t>(it - list.begin());
    removeItem(oldItem);
    insertItem(std::move(newItem), index);
}

void WendDocument::removeItem(const GPSItemPtr& item) { removeItems({item}); }

void WendDocument::removeItems(const ItemList& itemsToRemove) {
    prepareToUpdateSelection();
    std::unordered_set<const GPSItem*> doomed;
    for (const auto& item : itemsToRemove)
        doomed.insert(item.get());
    ItemList kept;
    for (const auto& item : permanentItems())
        if (!doomed.count(item.get()))
            kept.push_back(item);
    assignItems(std::move(kept));
    completeUpdatingSelection();
}

void WendDocument::removeAllItems() { removeItems(permanentItems()); }

bool WendDocument::appendItemsFromData(std::string_view bytes, std::optional<WendError>* error) {
    auto result = DocumentLoader::loadDocumentFromData(bytes);
    if (error)
        *error = result.error;
    if (!result.document)
        return false;
    addItems(result.document->documentItems());
    return true;
}

void WendDocument::setTempItems(std::optional<ItemList> newItems) {
    prepareToUpdateTrackData();
    m_tempItems = std::move(newItems);
    completeUpdatingTrackData();
}

void WendDocument::redisplayItems() { m_itemsNeedRedisplay.notify(); }

// ---- points and selections ----------------------------------------------------------------------

void WendDocument::applyToSelectedItems(const std::function<void(const GPSItemPtr&)>& function) {
    const ItemList snapshot = permanentItems();
    for (const auto& item : snapshot)
        if (!item->itemSelection().isEmpty())
            function(item);
}

void WendDocument::applyToItemSelections(const std::function<void(const GPSItemPtr&, IndexRange)>& function) {
    const ItemList snapshot = permanentItems();
    for (const auto& item : snapshot) {
        const auto ranges = item->itemSelection().ranges();
        for (const auto& range : ranges)
            function(item, range);
    }
}

void WendDocument::updateItemPoints(
    const std::function<GPSPointPtr(const GPSItem&, const GPSPointPtr&, bool selected)>& function) {
    const ItemList snapshot = permanentItems();
    for (const auto& item : snapshot) {
        const Selection& selection = item->itemSelection();
        PointList newPoints;
        newPoints.reserve(item->itemPoints().size());
        const auto& points = item->itemPoints();
        for (std::size_t i = 0; i < points.size(); ++i)
            if (auto point = function(*item, points[i], selection.isSelectedAtIndex(i)))
                newPoints.push_back(std::move(point));
        item->setItemPoints(std::move(newPoints));
    }
}

bool WendDocument::updateItemPoint(const GPSPoint* point, const std::function<void(GPSItem&, GPSPoint&)>& function) {
    // The last item holding the point wins, at its last place there: the search runs from the
    // end and stops at the first hit.
    GPSItemPtr holder;
    std::size_t index = 0;
    const ItemList& list = permanentItems();
    for (auto item = list.rbegin(); item != list.rend() && !holder; ++item) {
        const auto& points = (*item)->itemPoints();
        auto found = std::find_if(points.rbegin(), points.rend(),
                                  [point](const GPSPointPtr& p) { return p.get() == point; });
        if (found != points.rend()) {
            holder = *item;
            index = static_cast<std::size_t>(points.rend() - found) - 1;
        }
    }
    if (!holder)
        return false;
    auto copy = holder->itemPoints()[index]->copy();
    holder->replaceItemPoints(index, 1, {copy});
    function(*holder, *copy);
    postTrackDataChangedNotification();
    return true;
}

bool WendDocument::mutateItemsUsingController(ItemMutatorDialog& dialog, std::string_view actionName) {
    ItemList copies;
    for (const auto& item : permanentItems())
        copies.push_back(item->copy());
    auto result = dialog.mutateItems(*this, copies);
    if (!result)
        return false;
    m_undoManager.beginUndoGrouping();
    removeItems(permanentItems());
    addItems(*result);
    m_undoManager.setActionName(actionName);
    m_undoManager.endUndoGrouping();
    redisplayItems();
    return true;
}

// ---- brackets and notifications ------------------------------------------------------------------

void WendDocument::completeUpdatingSelection() {
    m_selectionDidChange.notify();
    ++m_statisticsRevision;
    m_statisticsNeedRefresh.notify();
    m_delegate->scrollSelectedRowIntoView();
}

void WendDocument::completeUpdatingTrackData() {
    m_trackDataDidChange.notify();
    ++m_statisticsRevision;
    m_statisticsNeedRefresh.notify();
}

void WendDocument::postSelectionChangedNotification() {
    prepareToUpdateSelection();
    completeUpdatingSelection();
}

void WendDocument::postTrackDataChangedNotification() {
    prepareToUpdateTrackData();
    completeUpdatingTrackData();
}

ItemList WendDocument::itemsForStatistics() const {
    ItemList stretches = itemsForSelectedPoints();
    return stretches.empty() ? items() : stretches;
}

void WendDocument::GPSViewWillChangeSelection() {
    prepareToUpdateSelection();
    if (m_preferences.trackSelectionChangesAreUndoable()) {
        m_undoManager.beginUndoGrouping();
        ++m_openSelectionGroups;
    }
}

void WendDocument::GPSViewDidChangeSelection() {
    // Closes exactly the group the matching "will change" opened, even if the preference
    // changed in between.
    if (m_openSelectionGroups > 0) {
        m_undoManager.setActionName("Change Selection");
        m_undoManager.endUndoGrouping();
        --m_openSelectionGroups;
    }
    completeUpdatingSelection();
}

// ---- file life ----------------------------------------------------------------------------------

void WendDocument::showReadError(const WendError& error) {
    m_delegate->runAlert(error.description, error.failureReason + ".", {"OK"});
}

bool WendDocument::installReadResult(const GPXReadResult& result) {
    m_lastReadError = result.error;
    if (result.error)
        showReadError(*result.error);
    if (!result.document)
        return false;
    setGPSDoc(result.document);
    m_undoManager.removeAllActions();
    m_undoManager.markSaved();
    postTrackDataChangedNotification();
    postSelectionChangedNotification();
    return true;
}

bool WendDocument::readFromFile(const std::string& path, const DocumentLoader::Progress& progress) {
    return installReadResult(DocumentLoader::loadDocumentFromFile(path, progress));
}

bool WendDocument::readFromData(std::string_view bytes) {
    return installReadResult(DocumentLoader::loadDocumentFromData(bytes));
}

void WendDocument::showNamespaceWarnings(const std::vector<NamespaceWarning>& warnings) {
    for (const auto& warning : warnings) {
        const std::string key = warning.preferenceKey();
        if (m_preferences.boolForKey(key))
            continue;
        int choice = m_delegate->runAlert(warning.error.description, warning.error.failureReason,
                                          {"OK", "Don't Show Again"});
        if (choice == 1)
            m_preferences.setBool(key, true);
    }
}

std::optional<std::string> WendDocument::dataOfType(std::string_view type) {
    if (type == "GPX") {
        GPXWriteOptions options;
        options.saveGarminFriendly = m_preferences.saveGarminFriendlyDocs();
        std::vector<NamespaceWarning> warnings;
        std::string text = GPXWriter::GPXString(*m_gpsDoc, options, &warnings);
        showNamespaceWarnings(warnings);
        return text;
    }
    if (type == "KML")
        return KMLWriter(*m_gpsDoc).KMLData();
    return std::nullopt;
}

std::string WendDocument::writeToFile(const std::string& path, std::string_view type) {
    if (type != "GPX" && type != "KML")
        return "The document cannot be saved as \"" + std::string(type) + "\".";
    std::vector<NamespaceWarning> warnings;
    std::string failure = SafeFileWriter::writeFile(path, [&](ByteSink& sink) {
        if (type == "KML")
            return KMLWriter(*m_gpsDoc).writeKML(sink);
        GPXWriteOptions options;
        options.saveGarminFriendly = m_preferences.saveGarminFriendlyDocs();
        auto result = GPXWriter::write(*m_gpsDoc, sink, options);
        warnings = std::move(result.warnings);
        return result.ok;
    });
    if (failure.empty()) {
        showNamespaceWarnings(warnings);
        if (type == "GPX")
            m_undoManager.markSaved();
    }
    return failure;
}

std::size_t WendDocument::importPaths(const std::vector<std::string>& paths, bool reportFailures) {
    std::size_t imported = 0;
    for (const auto& path : paths) {
        auto result = DocumentLoader::loadDocumentFromFile(path);
        if (reportFailures && (result.error || !result.document)) {
            WendError error = result.error.value_or(WendError::errorWithCode(
                0, "Couldn't Load GPX Data", "The selected file does not contain valid GPX data"));
            m_delegate->runAlert(error.description, error.failureReason + ".", {"Ok"});
        }
        if (result.document) {
            addItems(result.document->documentItems());
            ++imported;
        }
    }
    return imported;
}

std::size_t WendDocument::importFiles(const std::vector<std::string>& paths) {
    m_undoManager.beginUndoGrouping();
    std::size_t imported = importPaths(paths, true);
    m_delegate->fitTracksToView();
    m_undoManager.setActionName("Import Items");
    m_undoManager.endUndoGrouping();
    return imported;
}

std::size_t WendDocument::importDroppedFiles(const std::vector<std::string>& paths) {
    m_undoManager.beginUndoGrouping();
    std::size_t imported = importPaths(paths, false);
    m_delegate->fitTracksToView();
    m_undoManager.setActionName("Import Tracks");
    m_undoManager.endUndoGrouping();
    return imported;
}

bool WendDocument::canAcceptDroppedFiles(const std::vector<std::string>& paths) {
    if (paths.empty())
        return false;
    return std::all_of(paths.begin(), paths.end(), [](const std::string& path) {
        auto dot = path.rfind('.');
        auto slash = path.rfind('/');
        if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
            return false;
        return lowercase(path.substr(dot + 1)) == "gpx";
    });
}

std::shared_ptr<GPSDocument> WendDocument::exportSelectionDocument() const {
    auto copy = m_gpsDoc->copy();
    copy->setXMLElements(m_gpsDoc->XMLElements());
    copy->setDocumentItems(itemsForSelectedPoints());
    return copy;
}

std::string WendDocument::suggestedExportFileName() const {
    auto stretches = itemsForSelectedPoints();
    if (stretches.size() == 1 && stretches.front()->itemName() != GPSItem::kDefaultName)
        return stretches.front()->itemName();
    return std::string(GPSDocument::kDefaultName);
}

std::string WendDocument::exportSelection(const std::string& path, std::string_view type, bool googleMapsCompatible) {
    auto copy = exportSelectionDocument();
    std::string kind = lowercase(std::string(type));
    if (kind != "gpx" && kind != "kml")
        return "The selection cannot be exported as \"" + std::string(type) + "\".";
    std::vector<NamespaceWarning> warnings;
    std::string failure = SafeFileWriter::writeFile(path, [&](ByteSink& sink) {
        if (kind == "kml")
            return KMLWriter(*copy).writeKML(sink, googleMapsCompatible);
        GPXWriteOptions options;
        options.saveGarminFriendly = m_preferences.saveGarminFriendlyDocs();
        auto result = GPXWriter::write(*copy, sink, options);
        warnings = std::move(result.warnings);
        return result.ok;
    });
    if (failure.empty())
        showNamespaceWarnings(warnings);
    return failure;
}

} // namespace wend
