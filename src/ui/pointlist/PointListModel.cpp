#include "ui/pointlist/PointListModel.h"

#include <algorithm>
#include <climits>

namespace wend {

namespace {
QString qstring(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int clampedRowCount(std::size_t count) {
    return static_cast<int>(std::min<std::size_t>(count, INT_MAX));
}
} // namespace

PointListModel::PointListModel(PointListEditorController& controller, QObject* parent)
    : QAbstractTableModel(parent), m_controller(controller),
      m_rowCount(clampedRowCount(controller.rowCount())) {}

int PointListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

int PointListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kPointListColumnCount);
}

QVariant PointListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    const PointListColumn column = columnAt(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return qstring(m_controller.cellText(row, column));
    case Qt::EditRole:
        return qstring(m_controller.editText(row, column));
    case Qt::TextAlignmentRole:
        return column == PointListColumn::Timestamp
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (column == PointListColumn::RowNumber)
            return qstring(m_controller.rowDescription(row));
        return {};
    default:
        return {};
    }
}

QVariant PointListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(kPointListColumnCount))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        const auto title = titleOfPointListColumn(columnAt(section));
        return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    }
    return {};
}

Qt::ItemFlags PointListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && isTypedPointListColumn(columnAt(index.column())) &&
        m_controller.canEditCell(static_cast<std::size_t>(index.row()), columnAt(index.column())))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool PointListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const auto result = m_controller.setCellText(static_cast<std::size_t>(index.row()),
                                                 columnAt(index.column()),
                                                 value.toString().toStdString());
    return result != PointListEditorController::EditResult::Refused;
}

void PointListModel::rowsDidChange(std::size_t rowCount) {
    const int oldCount = m_rowCount;
    const int newCount = clampedRowCount(rowCount);
    if (newCount > oldCount) {
        beginInsertRows({}, oldCount, newCount - 1);
        m_rowCount = newCount;
        endInsertRows();
    } else if (newCount < oldCount) {
        beginRemoveRows({}, newCount, oldCount - 1);
        m_rowCount = newCount;
        endRemoveRows();
    }
    if (m_rowCount > 0)
        emit dataChanged(index(0, 0), index(m_rowCount - 1, columnCount() - 1));
}

} // namespace wend
