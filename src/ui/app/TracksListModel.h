#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/document/TracksList.h"
#include "ui/app/WholeItemStatistics.h"
#endif

#include <QAbstractTableModel>
#include <QMimeData>
#include <QStringList>
#include <memory>
#include <vector>

namespace wend {

class WendDocument;

// The rows of the tracks list for Qt's item views: one row per item of the document, columns
// colour, name (editable), type, points, distance and duration. The texts come from the
// core's TracksList and are read once per change of the track data; names, colours and types
// (which change without that notification, by renaming) are refreshed on every redisplay.
// The distance and duration of many points come from a walk on another thread: until they
// arrive a row shows its item's last figures, or none.
//
// The model connects to the document's notifications for its lifetime; it never touches the
// document from its destructor, so it may outlive it as long as nothing asks it for data then.
class TracksListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static QString dragMimeType() { return QString::fromLatin1(TracksList::kDragType); }

    // The figures of many points come from wholeItems (the window's, shared with its statistics
    // pane), or from a walk of the model's own without one.
    explicit TracksListModel(WendDocument& document, WholeItemStatistics* wholeItems = nullptr,
                             QObject* parent = nullptr);
    ~TracksListModel() override;

    WendDocument& document() const { return m_tracksList.document(); }
    TracksList& tracksList() { return m_tracksList; }
    const TracksList& tracksList() const { return m_tracksList; }
    // The cached row; null outside the rows.
    const TracksListRow* rowAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Renames the item of the row (undoable, through the item's setter).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    // The payload of the rows of the indexes under "GPSItemDragType".
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    QMimeData* mimeDataForRows(const std::vector<std::size_t>& rows) const;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    // Drops between rows: a row of -1 with a valid parent drops above the parent's row, a row
    // of -1 without one at the end.
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    // Inserts the payload's items above the row (moving them when they come from this list) as
    // one undo step "Move Tracks".
    bool dropPayloadAtRow(const QMimeData* data, std::size_t row);

public slots:
    // Reads every row again (statistics included).
    void reload();
    // Re-reads the texts that change without new track data: names, colours, types,
    // visibility.
    void refreshNamesAndColors();

signals:
    // After reload(): the rows may stand for other items now.
    void rowsReloaded();

private:
    // Walks at once only when few points lack their figures; otherwise asks for the walk on
    // the other thread and shows the figures known meanwhile.
    std::vector<TracksListRow> currentRows();

    TracksList m_tracksList;
    WholeItemStatistics* m_wholeItems = nullptr;
    std::vector<TracksListRow> m_rows;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace wend
