#pragma once

#include "core/base/Signal.h"
#include "core/base/WendError.h"
#include "core/document/DocumentLoader.h"
#include "core/document/ItemMutatorDialog.h"
#include "core/document/PathColorPool.h"
#include "core/document/Preferences.h"
#include "core/document/UndoManager.h"
#include "core/document/WendDocumentDelegate.h"
#include "core/formats/GPXWriter.h"
#include "core/model/GPSDocument.h"
#include "core/model/ModelObserver.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

// One open document: its model, the small layer through which every change of its items
// passes, undo, the two change notifications that keep the panes current, and the file life
// (reading, writing, importing, exporting the selection). No Qt: the window presents it.
//
// Undo is recorded in one generic way: the document observes its model and every item in it,
// and registers for each change the assignment of the old value. Commands only group their
// changes and name the step.
class WendDocument : public ModelObserver {
public:
    using IndexList = std::vector<std::size_t>;

    explicit WendDocument(Preferences& preferences);
    ~WendDocument() override;
    WendDocument(const WendDocument&) = delete;
    WendDocument& operator=(const WendDocument&) = delete;

    // ---- model ---------------------------------------------------------------------------
    const std::shared_ptr<GPSDocument>& GPSDoc() const { return m_gpsDoc; }
    // Installs a model: observes it and its items, giving colourless items pool colours.
    void setGPSDoc(std::shared_ptr<GPSDocument> document);

    UndoManager& undoManager() { return m_undoManager; }
    Preferences& preferences() const { return m_preferences; }
    void setDelegate(WendDocumentDelegate* delegate) { m_delegate = delegate ? delegate : &m_noDelegate; }
    WendDocumentDelegate& delegate() const { return *m_delegate; }

    // ---- derived views (recomputed on every call) ------------------------------------------
    const ItemList& permanentItems() const { return m_gpsDoc->documentItems(); }
    // The temporary items while a preview runs, else the permanent ones.
    const ItemList& items() const { return m_tempItems ? *m_tempItems : permanentItems(); }
    IndexList selectedItemIndexes() const;
    // Selects whole items (the tracks list's rows): newly chosen items get all their points
    // selected, items that stay chosen keep their selection, the others are cleared.
    void setSelectedItemIndexes(const IndexList& indexes);
    bool hasSelection() const;
    ItemList selectedItems() const;
    IndexList unselectedItemIndexes() const;
    // One new item per selected stretch of points (the source items are untouched).
    ItemList itemsForSelectedPoints() const;

    // ---- item list changes ----------------------------------------------------------------
    void addItem(GPSItemPtr item);
    void addItems(const ItemList& newItems);
    void insertItem(GPSItemPtr item, std::size_t index);
    void replaceItem(const GPSItemPtr& oldItem, GPSItemPtr newItem);
    void removeItem(const GPSItemPtr& item);
    void removeItems(const ItemList& itemsToRemove);
    void removeAllItems();
    // Reads GPX bytes and appends their items; false when nothing could be read.
    bool appendItemsFromData(std::string_view bytes, std::optional<WendError>* error = nullptr);

    // Shows these items instead of the document's own while a tool or dialog previews a
    // change; nothing ends the preview.
    void setTempItems(std::optional<ItemList> items);
    const std::optional<ItemList>& tempItems() const { return m_tempItems; }
    void redisplayItems();

    // ---- points and selections -------------------------------------------------------------
    void applyToSelectedItems(const std::function<void(const GPSItemPtr&)>& function);
    void applyToItemSelections(const std::function<void(const GPSItemPtr&, IndexRange)>& function);
    // Rebuilds every item's point list from the function's results (null results are left out).
    void updateItemPoints(
        const std::function<GPSPointPtr(const GPSItem&, const GPSPointPtr&, bool selected)>& function);
    // Replaces one point (found by identity) by a copy that the function edits; false when no
    // item holds the point.
    bool updateItemPoint(const GPSPoint* point, const std::function<void(GPSItem&, GPSPoint&)>& function);
    // Runs a dialog on copies of all items and swaps its result in as one undo step.
    bool mutateItemsUsingController(ItemMutatorDialog& dialog, std::string_view actionName);

    // The pool of path colours handed to new items.
    static const std::vector<std::string>& baseColors() { return PathColorPool::baseColors(); }
    ItemColor nextPathColor() { return m_pathColors.nextPathColor(); }
    void resetPathColors() { m_pathColors.reset(); }

    // ---- update brackets and notifications ----------------------------------------------
    void prepareToUpdateSelection() {}
    void completeUpdatingSelection();
    void prepareToUpdateTrackData() {}
    void completeUpdatingTrackData();
    void postSelectionChangedNotification();
    void postTrackDataChangedNotification();
    // The items the statistics pane shows: the selected stretches, else every item.
    ItemList itemsForStatistics() const;
    // Renewed at every change of the model and every statisticsNeedRefresh: figures computed
    // for one revision are those of the document while it stays.
    std::uint64_t statisticsRevision() const { return m_statisticsRevision; }

    Signal<>& selectionDidChange() { return m_selectionDidChange; }
    Signal<>& trackDataDidChange() { return m_trackDataDidChange; }
    Signal<>& itemsNeedRedisplay() { return m_itemsNeedRedisplay; }
    Signal<>& statisticsNeedRefresh() { return m_statisticsNeedRefresh; }
    Signal<>& documentNameDidChange() { return m_documentNameDidChange; }

    // ---- the map view's delegate ----------------------------------------------------------
    const ItemList& GPSViewItems() const { return items(); }
    void GPSViewWillChangeSelection();
    void GPSViewDidChangeSelection();
    void GPSViewToolWasUsed() { postTrackDataChangedNotification(); }

    // ---- file life -----------------------------------------------------------------------
    // Reads a file into this document. Problems are shown in an alert (the reader's title and
    // reason); with a repaired file the document opens with what was read. Nothing done while
    // loading can be undone.
    bool readFromFile(const std::string& path, const DocumentLoader::Progress& progress = {});
    bool readFromData(std::string_view bytes);
    // Installs what a read gave (one done on another thread, say), showing its problem as
    // the reads above do; false when nothing could be read.
    bool installReadResult(const GPXReadResult& result);
    const std::optional<WendError>& lastReadError() const { return m_lastReadError; }

    // Writes the document as "GPX" or "KML", replacing the file only when it was written
    // completely. Namespace warnings go to the user unless suppressed. Returns an empty
    // string on success, else what failed.
    std::string writeToFile(const std::string& path, std::string_view type);
    // The document's bytes of a type; nothing for an unknown type.
    std::optional<std::string> dataOfType(std::string_view type);
    bool isEdited() const { return m_undoManager.hasUnsavedChanges(); }
    // Shows the writer's namespace warnings, each unless the user suppressed its kind.
    void showNamespaceWarnings(const std::vector<NamespaceWarning>& warnings);

    // Imports files as one undo step "Import Items", telling the user about each file that
    // failed; returns the number of files whose items were added.
    std::size_t importFiles(const std::vector<std::string>& paths);
    // Files dropped onto the window: one undo step "Import Tracks", failures are skipped.
    std::size_t importDroppedFiles(const std::vector<std::string>& paths);
    // Whether a drag of these files may be dropped: every one has the extension gpx.
    static bool canAcceptDroppedFiles(const std::vector<std::string>& paths);

    // A copy of the model whose items are the selected stretches.
    std::shared_ptr<GPSDocument> exportSelectionDocument() const;
    std::string suggestedExportFileName() const;
    // Writes the selection as "gpx" or "kml"; returns what failed, or an empty string.
    std::string exportSelection(const std::string& path, std::string_view type, bool googleMapsCompatible);

    // ModelObserver
    void modelDidChange(const ModelChange& change) override;

private:
    void bindItems(const ItemList& newItems);
    void unbindAllItems();
    void assignItems(ItemList newItems);
    void showReadError(const WendError& error);
    std::size_t importPaths(const std::vector<std::string>& paths, bool reportFailures);

    Preferences& m_preferences;
    UndoManager m_undoManager;
    WendDocumentDelegate m_noDelegate;
    WendDocumentDelegate* m_delegate = &m_noDelegate;
    std::shared_ptr<GPSDocument> m_gpsDoc;
    ItemList m_boundItems;
    std::optional<ItemList> m_tempItems;
    PathColorPool m_pathColors;
    std::optional<WendError> m_lastReadError;
    int m_openSelectionGroups = 0;
    std::uint64_t m_statisticsRevision = 0;

    Signal<> m_selectionDidChange;
    Signal<> m_trackDataDidChange;
    Signal<> m_itemsNeedRedisplay;
    Signal<> m_statisticsNeedRefresh;
    Signal<> m_documentNameDidChange;
};

} // namespace wend
