#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/base/Signal.h"
#include "core/pointlist/PointListEditorController.h"
#endif

#include <QPointer>
#include <QTableView>
#include <cstddef>

namespace wend {

class PaneRefreshThrottle;
class PointListModel;
class TimestampEditor;
class WendDocument;

// The point list pane below the map: a table of every point of the document (a dialog's
// preview while one runs) whose row selection follows the map's point selection and back.
// Latitude, longitude and elevation are typed into their cells; the timestamp is set in a
// date-and-time control that pops up over its cell.
//
// It follows the document's notifications; while it is hidden it only notes that it is out
// of date and catches up when shown. While a drag on the map runs, it refreshes at most every
// 100 ms and exactly at the end. Rows have one height, so scrolling costs the same anywhere in
// a million rows.
//
// The view never touches the document from its destructor.
class PointListView : public QTableView, private PointListTable {
    Q_OBJECT

public:
    static constexpr int kMinimumHeight = 100;
    static constexpr int kDefaultHeight = 220;

    // The document must outlive the view.
    explicit PointListView(WendDocument& document, QWidget* parent = nullptr);
    ~PointListView() override;

    PointListEditorController& controller() { return m_controller; }
    PointListModel* pointListModel() const { return m_model; }
    // The open timestamp editor, or null.
    TimestampEditor* timestampEditor() const;
    // Pops the timestamp editor up over the row's timestamp cell; false when the row's time
    // cannot be edited (a dialog's preview is shown).
    bool editTimestamp(int row);

    void setRefreshThrottled(bool throttled);
    QSize sizeHint() const override;

signals:
    // Rows chosen in the table: the map centres here, keeping its zoom.
    void centerMapRequested(double lon, double lat);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void showEvent(QShowEvent* event) override;

private:
    // PointListTable
    void pointListRowsDidChange(std::size_t rowCount) override;
    void pointListSelectRows(const RowBlockList& rows, std::optional<std::size_t> rowToShow) override;
    void pointListCenterMap(double lon, double lat) override;

    void setColumnWidths();
    // Takes in what changed in the document since the last refresh.
    void refresh();
    void requestRefresh();

    WendDocument& m_document;
    PointListEditorController m_controller;
    PointListModel* m_model = nullptr;
    PaneRefreshThrottle* m_refreshThrottle = nullptr;
    QPointer<TimestampEditor> m_timestampEditor;
    bool m_rowsStale = true;
    bool m_selectionStale = false;
    Signal<>::ConnectionId m_trackDataConnection = 0;
    Signal<>::ConnectionId m_selectionConnection = 0;
};

} // namespace wend
