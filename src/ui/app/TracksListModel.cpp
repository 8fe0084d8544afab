#include "ui/app/TracksListModel.h"

#include "core/document/WendDocument.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <span>

namespace wend {

namespace {

QString qText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool sameCheapFields(const TracksListRow& a, const TracksListRow& b) {
    return a.name == b.name && a.color == b.color && a.type == b.type && a.visible == b.visible;
}

} // namespace

TracksListModel::TracksListModel(WendDocument& document, WholeItemStatistics* wholeItems,
                                 QObject* parent)
    : QAbstractTableModel(parent), m_tracksList(document),
      m_wholeItems(wholeItems ? wholeItems : new WholeItemStatistics(document, this)) {
    connect(m_wholeItems, &WholeItemStatistics::figuresChanged, this, [this] {
        m_tracksList.addKnownFigures(m_wholeItems->known());
        reload();
    });
    std::weak_ptr<char> alive = m_alive;
    document.trackDataDidChange().connect([this, alive] {
        if (!alive.expired())
            reload();
    });
    document.itemsNeedRedisplay().connect([this, alive] {
        if (!alive.expired())
            refreshNamesAndColors();
    });
    m_rows = currentRows();
}

TracksListModel::~TracksListModel() = default;

const TracksListRow* TracksListModel::rowAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size())
        return nullptr;
    return &m_rows[static_cast<std::size_t>(row)];
}

int TracksListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TracksListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : TracksList::ColumnCount;
}

QVariant TracksListModel::data(const QModelIndex& index, int role) const {
    const TracksListRow* row = rowAt(index.row());
    if (!row || !index.isValid())
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case TracksList::NameColumn:
            return qText(row->name);
        case TracksList::TypeColumn:
            return qText(row->typeText);
        case TracksList::PointsColumn:
            return qText(row->pointCountText);
        case TracksList::DistanceColumn:
            return qText(row->distanceText);
        case TracksList::DurationColumn:
            return qText(row->durationText);
        default:
            return {};
        }
    case Qt::EditRole:
    case Qt::ToolTipRole:
        if (column == TracksList::NameColumn)
            return qText(row->name);
        return {};
    case Qt::DecorationRole:
        if (column == TracksList::ColorColumn && row->color) {
            const RGBAColor c = row->color->rgba();
            return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green),
                                    static_cast<float>(c.blue), static_cast<float>(c.alpha));
        }
        return {};
    case Qt::TextAlignmentRole:
        if (column == TracksList::PointsColumn || column == TracksList::DistanceColumn ||
            column == TracksList::DurationColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        // Hidden items stay in the list, drawn faintly.
        if (!row->visible)
            return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    default:
        return {};
    }
}

QVariant TracksListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(TracksList::columnTitle(section));
    if (role == Qt::TextAlignmentRole && section >= TracksList::PointsColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags TracksListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
    if (index.column() == TracksList::NameColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TracksListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != TracksList::NameColumn || role != Qt::EditRole)
        return false;
    const QByteArray name = value.toString().toUtf8();
    if (!m_tracksList.renameRow(static_cast<std::size_t>(index.row()),
                                std::string_view(name.constData(), name.size())))
        return false;
    // Renaming announces only a redisplay; the name is read back from the item itself.
    refreshNamesAndColors();
    return true;
}

Qt::DropActions TracksListModel::supportedDragActions() const {
    return Qt::MoveAction | Qt::CopyAction;
}

Qt::DropActions TracksListModel::supportedDropActions() const {
    return Qt::MoveAction | Qt::CopyAction;
}

QStringList TracksListModel::mimeTypes() const {
    return {dragMimeType()};
}

QMimeData* TracksListModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : indexes)
        if (index.isValid())
            rows.push_back(static_cast<std::size_t>(index.row()));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return mimeDataForRows(rows);
}

QMimeData* TracksListModel::mimeDataForRows(const std::vector<std::size_t>& rows) const {
    const std::vector<std::uint8_t> payload = m_tracksList.dragPayload(rows);
    auto* mime = new QMimeData;
    mime->setData(dragMimeType(), QByteArray(reinterpret_cast<const char*>(payload.data()),
                                             static_cast<qsizetype>(payload.size())));
    return mime;
}

bool TracksListModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                      const QModelIndex&) const {
    return data && data->hasFormat(dragMimeType()) &&
           (action == Qt::MoveAction || action == Qt::CopyAction);
}

bool TracksListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                   int column, const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    std::optional<std::size_t> proposed;
    if (row >= 0)
        proposed = static_cast<std::size_t>(row);
    else if (parent.isValid())
        proposed = static_cast<std::size_t>(parent.row());
    return dropPayloadAtRow(data, TracksList::dropRowForProposedRow(proposed, m_rows.size()));
}

bool TracksListModel::dropPayloadAtRow(const QMimeData* data, std::size_t row) {
    if (!data || !data->hasFormat(dragMimeType()))
        return false;
    const QByteArray payload = data->data(dragMimeType());
    const std::span<const std::uint8_t> bytes(
        reinterpret_cast<const std::uint8_t*>(payload.constData()),
        static_cast<std::size_t>(payload.size()));
    const bool accepted = m_tracksList.acceptDrop(bytes, row);
    if (accepted)
        reload();
    return accepted;
}

void TracksListModel::reload() {
    // A preview shows temporary items on the map; the list keeps showing the document's own.
    if (document().tempItems())
        return;
    std::vector<TracksListRow> rows = currentRows();
    if (rows.size() == m_rows.size()) {
        m_rows = std::move(rows);
        if (!m_rows.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    } else {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    emit rowsReloaded();
}

std::vector<TracksListRow> TracksListModel::currentRows() {
    if (m_tracksList.pointsWithoutFigures() < WholeItemStatistics::backgroundPoints())
        return m_tracksList.rows();
    m_wholeItems->request();
    return m_tracksList.rows(TracksList::Figures::KnownOnly);
}

void TracksListModel::refreshNamesAndColors() {
    if (document().tempItems())
        return;
    if (m_tracksList.rowCount() != m_rows.size()) {
        reload();
        return;
    }
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        GPSItemPtr item = m_tracksList.itemAtRow(i);
        if (!item)
            continue;
        TracksListRow& row = m_rows[i];
        TracksListRow fresh = row;
        fresh.name = item->itemName();
        fresh.color = item->itemColor();
        fresh.visible = item->visible();
        if (fresh.type != item->itemType()) {
            // A type change alters which figures the row shows.
            fresh = m_tracksList.rowForItem(*item, TracksList::Figures::KnownOnly);
        }
        if (sameCheapFields(row, fresh))
            continue;
        row = std::move(fresh);
        const int r = static_cast<int>(i);
        emit dataChanged(index(r, 0), index(r, columnCount() - 1));
    }
}

} // namespace wend
