#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/pointlist/PointListEditorController.h"
#endif

#include <QAbstractTableModel>
#include <cstddef>

namespace wend {

// The point list's rows for a QTableView: every cell is asked of the controller when it is
// painted, so no row is kept here. A change of the rows tells the view only how many rows
// came or went at the end and that the others show something else; the current cell, the
// selection of the remaining rows and the scroll position therefore stay where they were.
class PointListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit PointListModel(PointListEditorController& controller, QObject* parent = nullptr);

    static PointListColumn columnAt(int column) {
        return kPointListColumns.at(static_cast<std::size_t>(column));
    }
    static int columnOf(PointListColumn column) { return static_cast<int>(column); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // Display: the cell's text; edit: the value at full precision; tool tip of the row number:
    // the item and the point's place in it.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A confirmed text; false when it was refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The controller took in new rows.
    void rowsDidChange(std::size_t rowCount);

private:
    PointListEditorController& m_controller;
    // The row count the views were told of.
    int m_rowCount = 0;
};

} // namespace wend
