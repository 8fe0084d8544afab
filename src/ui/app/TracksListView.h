#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/model/GPSItem.h"
#endif

#include <QTableView>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

class QMenu;
class QSplitter;

namespace wend {

class Clipboard;
class TracksListModel;
class WholeItemStatistics;
class WendDocument;

// The tracks list beside the map: one row per item, whole-item row selection shared with the
// document both ways, the name edited in place (column 1), a context menu with rename, copy,
// delete and the item type, and rows reordered by dragging, also between windows (a drop from
// another window inserts copies). Double-clicking a row asks the window to fit the selection
// into the map; the name is edited by clicking the name of a selected row, F2 or Rename.
//
// Like its model, the view never touches the document from its destructor.
class TracksListView : public QTableView {
    Q_OBJECT
public:
    // wholeItems: see TracksListModel.
    explicit TracksListView(WendDocument& document, WholeItemStatistics* wholeItems = nullptr,
                            QWidget* parent = nullptr);
    ~TracksListView() override;

    TracksListModel* tracksListModel() const { return m_model; }
    WendDocument& document() const;
    // Where the context menu's Copy writes; without one, Copy is not offered.
    void setClipboard(Clipboard* clipboard) { m_clipboard = clipboard; }

    // The selected rows as the view shows them, ascending.
    std::vector<std::size_t> selectedRows() const;
    // The row the name editor opens on: the most recently selected one.
    std::optional<std::size_t> mostRecentlySelectedRow() const;

    // A right click adjusts the selection before the menu opens: outside every row it clears
    // the selection, on an unselected row it selects that row alone, on a selected row it
    // keeps the selection.
    void adjustSelectionForContextMenu(const QPoint& viewportPosition);
    // Rename, Copy, Delete and the "Item Type" submenu for the current selection. The caller
    // owns the menu.
    QMenu* createContextMenu(QWidget* parent = nullptr);

    // The row a drop at this point inserts above (the row count for the end): drops fall
    // between rows, on the gap nearer to the point.
    std::size_t dropRowAt(const QPoint& viewportPosition) const;

    // Chores of the document's delegate around a rebuild of the item list.
    void rememberScrollPosition();
    void restoreScrollPosition();
    // Scrolls the first selected row into view when no selected row is visible.
    void scrollSelectedRowIntoView();

    // Neither the list nor the map may become narrower than TracksList::kMinimumListWidth and
    // kMinimumMapWidth points, by dragging the divider or by narrowing the window; neither
    // side collapses.
    static void applySplitViewLimits(QSplitter& splitter, QWidget* listSide, QWidget* mapSide);

    // The row height: the swatch or a line of text, whichever is taller, with room above and
    // below.
    int preferredRowHeight() const;

public slots:
    // Starts editing the name of the most recently selected row, its text selected.
    void renameSelectedRow();
    bool copySelectedRows();
    bool deleteSelectedRows();
    bool setTypeOfSelectedRows(wend::GPSItemType type);

signals:
    void fitSelectionToViewRequested();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void forwardSelectionToDocument();
    void showDocumentSelection();
    bool acceptsDrag(const QDropEvent* event) const;
    Qt::DropAction dropActionFor(const QDropEvent* event) const;
    QPixmap dragPixmap(const std::vector<std::size_t>& rows) const;

    TracksListModel* m_model = nullptr;
    Clipboard* m_clipboard = nullptr;
    bool m_showingDocumentSelection = false;
    int m_savedScrollPosition = 0;
    int m_dropIndicatorRow = -1;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace wend
