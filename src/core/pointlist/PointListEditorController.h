#pragma once

#include "core/model/Instant.h"
#include "core/pointlist/PointListColumn.h"
#include "core/pointlist/PointListRows.h"
#include "core/pointlist/PointListTable.h"
#include "core/processing/UnitFormatter.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace wend {

class GPSPoint;
class WendDocument;

// The logic of the point list: a table of every point of a document (a dialog's preview while
// one runs), item after item, whose latitude, longitude and elevation are typed into their
// cells and whose timestamp has an editor of its own. Its row selection and the items' point
// selections follow each other; a guard keeps the two directions from answering each other.
//
// The table is told what to show through PointListTable. The owner calls updatePoints after
// every track-data change and updatePointSelection after every selection change.
//
// An edit replaces one point of one item in place: its cost and its undo step hold that point,
// not the item's other points. It changes the point of the row's own item, also where
// another item holds the same point object (pieces cut apart at a point share it).
class PointListEditorController {
public:
    static constexpr std::string_view kEditPointActionName = "Edit Point";
    static constexpr std::string_view kEditTimestampActionName = "Edit Timestamp";

    enum class EditResult { Changed, Unchanged, Refused };

    // The document and its preferences must outlive the controller. Dates and numbers are shown
    // in the formatter's locale and time zone, in the measurement system of the preferences.
    explicit PointListEditorController(WendDocument& document, UnitFormatter formatter = UnitFormatter());
    PointListEditorController(const PointListEditorController&) = delete;
    PointListEditorController& operator=(const PointListEditorController&) = delete;

    // Not owned; null for none.
    void setTable(PointListTable* table) { m_table = table ? table : &m_noTable; }
    const PointListRows& rows() const { return m_rows; }
    std::size_t rowCount() const { return m_rows.rowCount(); }

    // ---- the document shown in the table --------------------------------------------------
    // Takes in the document's items, then shows its selection (without scrolling).
    void updatePoints();
    // Shows the document's selection; when other rows than before are selected, the last
    // selected stretch is scrolled into view. Takes the items in first when they changed.
    void updatePointSelection();
    bool updatingSelectionElsewhere() const { return m_updatingSelectionElsewhere; }

    // ---- the table's selection taken into the document ------------------------------------
    // Every selected row selects its point, every other point is deselected, in one selection
    // change (one "Change Selection" step when selection changes are undoable); then the map
    // is centred on the selected points, keeping its zoom.
    void tableViewSelectionDidChange(const RowBlockList& selectedRows);

    // ---- cells ----------------------------------------------------------------------------
    std::string cellText(std::size_t row, PointListColumn column) const;
    // "Morning Walk, point 12 of 340".
    std::string rowDescription(std::size_t row) const;
    // The text a typed edit starts from (see PointListEditText).
    std::string editText(std::size_t row, PointListColumn column) const;
    // Latitude, longitude, elevation and timestamp of a point of the document's own items;
    // nothing while a preview is shown.
    bool canEditCell(std::size_t row, PointListColumn column) const;
    bool acceptsCellText(PointListColumn column, std::string_view text) const;
    std::string refusalText(PointListColumn column) const;
    // A confirmed text: the point changes as one step "Edit Point" when the value differs.
    EditResult setCellText(std::size_t row, PointListColumn column, std::string_view text);

    // Where the timestamp editor starts: the point's time, else the nearest earlier time in its
    // item; nothing when there is none (the editor then starts at the current time).
    std::optional<Instant> timestampEditorStart(std::size_t row) const;
    // A confirmed time: one step "Edit Timestamp" when it differs. The editor works to the
    // millisecond, so times within the same millisecond count as unchanged.
    EditResult setTimestamp(std::size_t row, Instant time);

private:
    MeasurementSystem measurementSystem() const;
    UnitFormatter formatter() const;
    // Replaces the row's point by an edited copy as one named undo step.
    EditResult replacePoint(std::size_t row, const std::function<void(GPSPoint&)>& edit,
                            std::string_view actionName);
    void showSelection(bool scrollWhenChanged);

    WendDocument& m_document;
    UnitFormatter m_formatter;
    PointListTable m_noTable;
    PointListTable* m_table = &m_noTable;
    PointListRows m_rows;
    // The rows the table was last told to show selected.
    RowBlockList m_shownRows;
    bool m_updatingSelectionElsewhere = false;
};

} // namespace wend
