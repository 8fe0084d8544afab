#include "ui/app/TracksListView.h"

#include "core/document/TracksList.h"
#include "core/document/WendDocument.h"
#include "ui/app/ColorSwatch.h"
#include "ui/app/TracksListModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace wend {

namespace {

// Draws the colour column: the cell's background as the style draws it, then the swatch,
// centred and aligned to whole points.
class SwatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.features &= ~QStyleOptionViewItem::HasDecoration;
        opt.icon = QIcon();
        opt.text.clear();
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        // Styles highlight only the text and icon area of a cell, and this cell has neither.
        if (opt.state & QStyle::State_Selected) {
            const QPalette::ColorGroup group =
                (opt.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
            painter->fillRect(opt.rect, opt.palette.brush(group, QPalette::Highlight));
        }

        const auto* model = qobject_cast<const TracksListModel*>(index.model());
        const TracksListRow* row = model ? model->rowAt(index.row()) : nullptr;
        if (!row || !row->color)
            return;
        const QRectF cell = option.rect;
        const QPointF topLeft(cell.center().x() - ColorSwatch::kSize / 2.0,
                              cell.center().y() - ColorSwatch::kSize / 2.0);
        ColorSwatch::paint(*painter, topLeft, *row->color);
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {ColorSwatch::kSize + 12, ColorSwatch::kSize};
    }
};

// The mark of an entry that is on for some of the selected items and off for others.
QIcon mixedStateIcon(const QPalette& palette, qreal ratio) {
    QPixmap pixmap(QSize(16, 16) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette.color(QPalette::Text), 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4, 8), QPointF(12, 8));
    return QIcon(pixmap);
}

void applyMenuState(QAction* action, MenuItemState state, const QIcon& mixedIcon) {
    if (state == MenuItemState::Mixed) {
        action->setCheckable(false);
        action->setIcon(mixedIcon);
    } else {
        action->setCheckable(true);
        action->setChecked(state == MenuItemState::On);
    }
    action->setProperty("menuItemState", static_cast<int>(state));
}

} // namespace

TracksListView::TracksListView(WendDocument& document, WholeItemStatistics* wholeItems,
                               QWidget* parent)
    : QTableView(parent) {
    m_model = new TracksListModel(document, wholeItems, this);
    setModel(m_model);
    setItemDelegateForColumn(TracksList::ColorColumn, new SwatchDelegate(this));

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Double-click fits the selection into the map; the name is edited by clicking a selected
    // row's name, F2 or Rename.
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDragDropOverwriteMode(false);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(false);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setCornerButtonEnabled(false);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(ColorSwatch::kSize);
    verticalHeader()->setDefaultSectionSize(preferredRowHeight());

    QHeaderView* header = horizontalHeader();
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionsClickable(false);
    header->setMinimumSectionSize(ColorSwatch::kSize + 8);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(TracksList::NameColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(TracksList::ColorColumn, QHeaderView::Fixed);
    const QFontMetrics metrics = fontMetrics();
    const int padding = 3 * static_cast<int>(TracksList::kIntercellSpacingWidth) + 8;
    header->resizeSection(TracksList::ColorColumn, ColorSwatch::kSize + 12);
    header->resizeSection(TracksList::TypeColumn,
                          metrics.horizontalAdvance(QStringLiteral("Waypoint")) + padding);
    header->resizeSection(TracksList::PointsColumn,
                          metrics.horizontalAdvance(QStringLiteral("Points")) + padding);
    header->resizeSection(TracksList::DistanceColumn,
                          metrics.horizontalAdvance(QStringLiteral("999.99 km")) + padding);
    header->resizeSection(TracksList::DurationColumn,
                          metrics.horizontalAdvance(QStringLiteral("99h 59m 59s")) + padding);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_showingDocumentSelection)
            forwardSelectionToDocument();
    });
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this,
            &TracksListView::rememberScrollPosition);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TracksListView::restoreScrollPosition);
    connect(m_model, &TracksListModel::rowsReloaded, this, &TracksListView::showDocumentSelection);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this] { emit fitSelectionToViewRequested(); });

    std::weak_ptr<char> alive = m_alive;
    document.selectionDidChange().connect([this, alive] {
        if (alive.expired() || m_showingDocumentSelection)
            return;
        showDocumentSelection();
        scrollSelectedRowIntoView();
    });
    showDocumentSelection();
}

TracksListView::~TracksListView() = default;

WendDocument& TracksListView::document() const {
    return m_model->document();
}

int TracksListView::preferredRowHeight() const {
    const int content = std::max(ColorSwatch::kSize, fontMetrics().height());
    return content + static_cast<int>(TracksList::kIntercellSpacingHeight) / 2;
}

void TracksListView::applySplitViewLimits(QSplitter& splitter, QWidget* listSide,
                                          QWidget* mapSide) {
    if (listSide)
        listSide->setMinimumWidth(static_cast<int>(TracksList::kMinimumListWidth));
    if (mapSide)
        mapSide->setMinimumWidth(static_cast<int>(TracksList::kMinimumMapWidth));
    splitter.setChildrenCollapsible(false);
    // The splitter knows its direct children only; the sides may sit inside containers.
    for (QWidget* side : {listSide, mapSide}) {
        QWidget* child = side;
        while (child && child->parentWidget() != &splitter)
            child = child->parentWidget();
        if (const int index = child ? splitter.indexOf(child) : -1; index >= 0)
            splitter.setCollapsible(index, false);
    }
}

// ---- selection
// -----------------------------------------------------------------------------------

std::vector<std::size_t> TracksListView::selectedRows() const {
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(static_cast<std::size_t>(index.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::optional<std::size_t> TracksListView::mostRecentlySelectedRow() const {
    const QModelIndex current = selectionModel()->currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), QModelIndex()))
        return static_cast<std::size_t>(current.row());
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.empty())
        return std::nullopt;
    return rows.back();
}

void TracksListView::forwardSelectionToDocument() {
    // The document answers with selectionDidChange; its selection is then the one shown here.
    m_showingDocumentSelection = true;
    m_model->tracksList().selectRows(selectedRows());
    m_showingDocumentSelection = false;
}

void TracksListView::showDocumentSelection() {
    WendDocument& doc = document();
    // While a preview runs the document's indexes count its temporary items, not these rows.
    if (doc.tempItems())
        return;
    const int rows = m_model->rowCount();
    const int lastColumn = m_model->columnCount() - 1;
    QItemSelection selection;
    for (std::size_t row : doc.selectedItemIndexes()) {
        if (row >= static_cast<std::size_t>(rows))
            continue;
        const int r = static_cast<int>(row);
        selection.select(m_model->index(r, 0), m_model->index(r, lastColumn));
    }
    m_showingDocumentSelection = true;
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const QModelIndex current = selectionModel()->currentIndex();
    if (!selection.isEmpty() &&
        (!current.isValid() || !selectionModel()->isRowSelected(current.row(), QModelIndex())))
        selectionModel()->setCurrentIndex(selection.first().topLeft(),
                                          QItemSelectionModel::NoUpdate);
    m_showingDocumentSelection = false;
}

void TracksListView::scrollSelectedRowIntoView() {
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.empty())
        return;
    const QRect visible = viewport()->rect();
    for (std::size_t row : rows) {
        const QRect rect = visualRect(m_model->index(static_cast<int>(row), 0));
        if (rect.isValid() && rect.bottom() >= visible.top() && rect.top() <= visible.bottom())
            return;
    }
    scrollTo(m_model->index(static_cast<int>(rows.front()), TracksList::NameColumn),
             QAbstractItemView::EnsureVisible);
}

void TracksListView::rememberScrollPosition() {
    m_savedScrollPosition = verticalScrollBar()->value();
}

void TracksListView::restoreScrollPosition() {
    // The scroll range follows the new row count only once the geometry is updated.
    updateGeometries();
    verticalScrollBar()->setValue(m_savedScrollPosition);
}

// ---- context menu
// --------------------------------------------------------------------------------

void TracksListView::adjustSelectionForContextMenu(const QPoint& viewportPosition) {
    const QModelIndex index = indexAt(viewportPosition);
    if (!index.isValid()) {
        selectionModel()->clearSelection();
        return;
    }
    if (selectionModel()->isRowSelected(index.row(), QModelIndex())) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        return;
    }
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
}

QMenu* TracksListView::createContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    const bool hasSelection = !selectedRows().empty();

    QAction* rename = menu->addAction(tr("Rename"), this, &TracksListView::renameSelectedRow);
    rename->setEnabled(hasSelection);
    QAction* copy = menu->addAction(tr("Copy"), this, &TracksListView::copySelectedRows);
    copy->setEnabled(hasSelection && m_clipboard);
    QAction* remove = menu->addAction(tr("Delete"), this, &TracksListView::deleteSelectedRows);
    remove->setEnabled(hasSelection);
    menu->addSeparator();

    const ItemTypeMenuState state = m_model->tracksList().itemTypeMenuState();
    QMenu* typeMenu = menu->addMenu(tr("Item Type"));
    typeMenu->setEnabled(hasSelection && state.enabled);
    const QIcon mixed = mixedStateIcon(palette(), devicePixelRatio());
    QAction* track = typeMenu->addAction(QStringLiteral("Track"), this,
                                         [this] { setTypeOfSelectedRows(GPSItemType::Track); });
    applyMenuState(track, state.track, mixed);
    QAction* route = typeMenu->addAction(QStringLiteral("Route"), this,
                                         [this] { setTypeOfSelectedRows(GPSItemType::Route); });
    applyMenuState(route, state.route, mixed);
    return menu;
}

void TracksListView::contextMenuEvent(QContextMenuEvent* event) {
    QPoint position = event->pos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        adjustSelectionForContextMenu(position);
    } else if (auto row = mostRecentlySelectedRow()) {
        const QRect rect = visualRect(m_model->index(static_cast<int>(*row), 0));
        if (rect.isValid())
            position = rect.center();
    }
    std::unique_ptr<QMenu> menu(createContextMenu(this));
    menu->exec(viewport()->mapToGlobal(position));
    event->accept();
}

void TracksListView::renameSelectedRow() {
    const auto row = mostRecentlySelectedRow();
    if (!row)
        return;
    const QModelIndex index = m_model->index(static_cast<int>(*row), TracksList::NameColumn);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    scrollTo(index);
    edit(index);
    if (auto* editor = qobject_cast<QLineEdit*>(indexWidget(index)))
        editor->selectAll();
}

bool TracksListView::copySelectedRows() {
    if (!m_clipboard)
        return false;
    return m_model->tracksList().copySelectedRows(*m_clipboard);
}

bool TracksListView::deleteSelectedRows() {
    return m_model->tracksList().deleteSelectedRows();
}

bool TracksListView::setTypeOfSelectedRows(GPSItemType type) {
    const bool changed = m_model->tracksList().setTypeOfSelectedRows(type);
    if (changed)
        m_model->refreshNamesAndColors();
    return changed;
}

// ---- drag and drop
// -------------------------------------------------------------------------------

std::size_t TracksListView::dropRowAt(const QPoint& viewportPosition) const {
    const std::size_t count = static_cast<std::size_t>(m_model->rowCount());
    const QModelIndex index = indexAt(viewportPosition);
    if (!index.isValid())
        return TracksList::dropRowForProposedRow(std::nullopt, count);
    const QRect rect = visualRect(index);
    std::size_t proposed = static_cast<std::size_t>(index.row());
    if (viewportPosition.y() > rect.center().y())
        ++proposed;
    return TracksList::dropRowForProposedRow(proposed, count);
}

bool TracksListView::acceptsDrag(const QDropEvent* event) const {
    return event->mimeData() && event->mimeData()->hasFormat(TracksListModel::dragMimeType());
}

Qt::DropAction TracksListView::dropActionFor(const QDropEvent* event) const {
    // Rows dragged within the list move; rows from another window arrive as copies and the
    // other window keeps its own.
    return event->source() == this ? Qt::MoveAction : Qt::CopyAction;
}

QPixmap TracksListView::dragPixmap(const std::vector<std::size_t>& rows) const {
    constexpr std::size_t kMaximumRows = 6;
    const int width = std::min(viewport()->width(), 320);
    const int rowHeight = preferredRowHeight();
    const int count = static_cast<int>(std::min(rows.size(), kMaximumRows));
    const qreal ratio = devicePixelRatio();
    QPixmap pixmap(QSize(width, rowHeight * count) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setOpacity(0.8);
    for (int i = 0; i < count; ++i) {
        const TracksListRow* row =
            m_model->rowAt(static_cast<int>(rows[static_cast<std::size_t>(i)]));
        if (!row)
            continue;
        const int y = i * rowHeight;
        if (row->color)
            ColorSwatch::paint(painter, QPointF(6, y + (rowHeight - ColorSwatch::kSize) / 2),
                               *row->color);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(
            QRect(ColorSwatch::kSize + 12, y, width - ColorSwatch::kSize - 12, rowHeight),
            Qt::AlignLeft | Qt::AlignVCenter,
            fontMetrics().elidedText(QString::fromStdString(row->name), Qt::ElideRight,
                                     width - ColorSwatch::kSize - 12));
    }
    return pixmap;
}

void TracksListView::startDrag(Qt::DropActions) {
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.empty())
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(m_model->mimeDataForRows(rows));
    drag->setPixmap(dragPixmap(rows));
    drag->setHotSpot(QPoint(8, preferredRowHeight() / 2));
    // The drop does all the work (a move within the list, a copy elsewhere); the rows are never
    // removed here, unlike Qt's own handling of a finished move.
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

void TracksListView::dragEnterEvent(QDragEnterEvent* event) {
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    m_dropIndicatorRow = static_cast<int>(dropRowAt(event->position().toPoint()));
    event->setDropAction(dropActionFor(event));
    event->accept();
    viewport()->update();
}

void TracksListView::dragMoveEvent(QDragMoveEvent* event) {
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    const QPoint position = event->position().toPoint();
    const int row = static_cast<int>(dropRowAt(position));
    if (row != m_dropIndicatorRow) {
        m_dropIndicatorRow = row;
        viewport()->update();
    }
    const int margin = autoScrollMargin();
    const QRect area = viewport()->rect();
    if (hasAutoScroll() &&
        (position.y() - area.top() < margin || area.bottom() - position.y() < margin))
        startAutoScroll();
    event->setDropAction(dropActionFor(event));
    event->accept();
}

void TracksListView::dragLeaveEvent(QDragLeaveEvent* event) {
    m_dropIndicatorRow = -1;
    stopAutoScroll();
    viewport()->update();
    event->accept();
}

void TracksListView::dropEvent(QDropEvent* event) {
    m_dropIndicatorRow = -1;
    stopAutoScroll();
    viewport()->update();
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    const std::size_t row = dropRowAt(event->position().toPoint());
    if (!m_model->dropPayloadAtRow(event->mimeData(), row)) {
        event->ignore();
        return;
    }
    event->setDropAction(dropActionFor(event));
    event->accept();
}

void TracksListView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (m_dropIndicatorRow < 0)
        return;
    const int rows = m_model->rowCount();
    int y = 0;
    if (rows > 0) {
        y = m_dropIndicatorRow < rows ? rowViewportPosition(m_dropIndicatorRow)
                                      : rowViewportPosition(rows - 1) + rowHeight(rows - 1);
    }
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = palette().color(QPalette::Highlight);
    painter.setPen(QPen(color, 2));
    painter.setBrush(palette().color(QPalette::Base));
    y = std::clamp(y, 4, std::max(4, viewport()->height() - 4));
    painter.drawLine(QPointF(9, y), QPointF(viewport()->width() - 2, y));
    painter.drawEllipse(QPointF(6, y), 3, 3);
}

void TracksListView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        verticalHeader()->setDefaultSectionSize(preferredRowHeight());
}

} // namespace wend
