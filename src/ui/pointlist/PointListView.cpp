#include "ui/pointlist/PointListView.h"

#include "core/document/WendDocument.h"
#include "ui/app/PaneRefreshThrottle.h"
#include "ui/dialogs/InstantConversion.h"
#include "ui/pointlist/PointListItemDelegate.h"
#include "ui/pointlist/PointListModel.h"
#include "ui/pointlist/TimestampEditor.h"

#include <QHeaderView>
#include <QItemSelection>

namespace wend {

PointListView::PointListView(WendDocument& document, QWidget* parent)
    : QTableView(parent), m_document(document), m_controller(document) {
    m_controller.setTable(this);
    m_model = new PointListModel(m_controller, this);
    setModel(m_model);
    setItemDelegate(new PointListItemDelegate(m_controller, this));
    m_refreshThrottle = new PaneRefreshThrottle([this] { refresh(); }, this);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Tab leaves the table: moving from cell to cell would select the next cell's row alone,
    // and Qt sends such a Tab itself when the table is hidden while it has the focus, which
    // would reduce the document's selection to one point.
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setMinimumHeight(kMinimumHeight);
    // One height for every row: the table never measures a row, whatever their number.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    setColumnWidths();

    m_trackDataConnection = document.trackDataDidChange().connect([this] {
        m_rowsStale = true;
        requestRefresh();
    });
    m_selectionConnection = document.selectionDidChange().connect([this] {
        m_selectionStale = true;
        requestRefresh();
    });
}

PointListView::~PointListView() {
    m_document.trackDataDidChange().disconnect(m_trackDataConnection);
    m_document.selectionDidChange().disconnect(m_selectionConnection);
    m_controller.setTable(nullptr);
}

QSize PointListView::sizeHint() const {
    return QSize(QTableView::sizeHint().width(), kDefaultHeight);
}

void PointListView::setColumnWidths() {
    // Wide enough for the longest text each column usually shows; never measured from the rows.
    static const char* const kWidest[kPointListColumnCount] = {
        "0000000", "00 Mmm 0000, 00:00:00.000 MM +0000", "+00.000000", "-000.000000",
        "00,000 ft", "000.00 km/h", "+000%"};
    const QFontMetrics metrics(font());
    for (int column = 0; column < static_cast<int>(kPointListColumnCount); ++column) {
        const QString title = m_model->headerData(column, Qt::Horizontal).toString();
        const int text = std::max(metrics.horizontalAdvance(QString::fromLatin1(kWidest[column])),
                                  metrics.horizontalAdvance(title));
        horizontalHeader()->resizeSection(column, text + 24);
    }
}

// ---- following the document -------------------------------------------------------------------

void PointListView::setRefreshThrottled(bool throttled) {
    m_refreshThrottle->setThrottled(throttled);
}

void PointListView::requestRefresh() {
    if (isVisible())
        m_refreshThrottle->request();
}

void PointListView::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    if (m_rowsStale || m_selectionStale)
        m_refreshThrottle->request();
}

void PointListView::refresh() {
    if (m_rowsStale) {
        m_rowsStale = m_selectionStale = false;
        m_controller.updatePoints();
    } else if (m_selectionStale) {
        m_selectionStale = false;
        m_controller.updatePointSelection();
    }
}

void PointListView::pointListRowsDidChange(std::size_t rowCount) {
    m_model->rowsDidChange(rowCount);
}

void PointListView::pointListSelectRows(const RowBlockList& rows,
                                        std::optional<std::size_t> rowToShow) {
    const int lastColumn = m_model->columnCount() - 1;
    QItemSelection selection;
    for (const RowBlock& block : rows)
        selection.select(m_model->index(static_cast<int>(block.first), 0),
                         m_model->index(static_cast<int>(block.end() - 1), lastColumn));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rowToShow)
        return;
    // Keyboard selection goes on from the stretch shown.
    const QModelIndex target =
        m_model->index(static_cast<int>(*rowToShow), std::max(0, currentIndex().column()));
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    scrollTo(target);
}

// ---- the table's selection into the document --------------------------------------------------

void PointListView::selectionChanged(const QItemSelection& selected,
                                     const QItemSelection& deselected) {
    QTableView::selectionChanged(selected, deselected);
    if (m_controller.updatingSelectionElsewhere())
        return;
    RowBlockList rows;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        rows.push_back({static_cast<std::size_t>(range.top()),
                        static_cast<std::size_t>(range.bottom() - range.top() + 1)});
    m_controller.tableViewSelectionDidChange(rows);
}

void PointListView::pointListCenterMap(double lon, double lat) {
    emit centerMapRequested(lon, lat);
}

// ---- editing ----------------------------------------------------------------------------------

bool PointListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (index.isValid() &&
        PointListModel::columnAt(index.column()) == PointListColumn::Timestamp) {
        if (editTriggers() & trigger)
            editTimestamp(index.row());
        return false;
    }
    return QTableView::edit(index, trigger, event);
}

TimestampEditor* PointListView::timestampEditor() const {
    return m_timestampEditor.data();
}

bool PointListView::editTimestamp(int row) {
    const auto index = static_cast<std::size_t>(row);
    if (row < 0 || !m_controller.canEditCell(index, PointListColumn::Timestamp))
        return false;
    const auto start = m_controller.timestampEditorStart(index);
    const QDateTime startTime = start ? dateTimeFromInstant(*start) : QDateTime::currentDateTime();
    if (m_timestampEditor)
        m_timestampEditor->close();
    m_timestampEditor = new TimestampEditor(startTime, this);
    connect(m_timestampEditor, &TimestampEditor::confirmed, this, [this, index](const QDateTime& time) {
        m_controller.setTimestamp(index, instantFromDateTime(time));
    });
    const QModelIndex cell = m_model->index(row, PointListModel::columnOf(PointListColumn::Timestamp));
    scrollTo(cell);
    m_timestampEditor->popUp(viewport()->mapToGlobal(visualRect(cell).topLeft()));
    return true;
}

} // namespace wend
