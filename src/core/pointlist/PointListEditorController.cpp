#include "core/pointlist/PointListEditorController.h"

#include "core/document/WendDocument.h"
#include "core/pointlist/PointListCellText.h"
#include "core/pointlist/PointListEditText.h"
#include "core/pointlist/PointListSelectionMapping.h"
#include "core/processing/TrackGeometry.h"

#include <cmath>

namespace wend {

namespace {

// Sets a flag for as long as it lives, so that nothing thrown leaves it set.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

std::int64_t millisecondsOf(Instant time) {
    const std::int64_t micro = time.microsecondsSince1970();
    return micro / 1000 - (micro % 1000 < 0 ? 1 : 0);
}

} // namespace

PointListEditorController::PointListEditorController(WendDocument& document, UnitFormatter formatter)
    : m_document(document), m_formatter(std::move(formatter)) {}

MeasurementSystem PointListEditorController::measurementSystem() const {
    return measurementSystemFromPreference(m_document.preferences().measurementSystem());
}

UnitFormatter PointListEditorController::formatter() const {
    UnitFormatter formatter = m_formatter;
    formatter.setMeasurementSystem(measurementSystem());
    return formatter;
}

// ---- document to table ----------------------------------------------------------------------

void PointListEditorController::updatePoints() {
    m_rows.setItems(m_document.items());
    {
        // The table may drop the selection of rows that went away.
        FlagScope guard(m_updatingSelectionElsewhere);
        m_table->pointListRowsDidChange(m_rows.rowCount());
    }
    m_shownRows.clear();
    showSelection(false);
}

void PointListEditorController::updatePointSelection() {
    if (m_updatingSelectionElsewhere)
        return;
    if (!m_rows.matches(m_document.items())) {
        updatePoints();
        return;
    }
    showSelection(true);
}

void PointListEditorController::showSelection(bool scrollWhenChanged) {
    RowBlockList rows = PointListSelectionMapping::rowBlocksOfSelections(m_rows);
    const bool changed = rows != m_shownRows;
    if (!changed && scrollWhenChanged)
        return;
    std::optional<std::size_t> scrollTo;
    if (changed && scrollWhenChanged && !rows.empty())
        scrollTo = rows.back().first;
    FlagScope guard(m_updatingSelectionElsewhere);
    m_table->pointListSelectRows(rows, scrollTo);
    m_shownRows = std::move(rows);
}

// ---- table to document ----------------------------------------------------------------------

void PointListEditorController::tableViewSelectionDidChange(const RowBlockList& selectedRows) {
    if (m_updatingSelectionElsewhere || m_document.tempItems() ||
        !m_rows.matches(m_document.items()))
        return;
    RowBlockList rows = PointListSelectionMapping::normalizedRowBlocks(selectedRows);
    const std::vector<Selection> selections =
        PointListSelectionMapping::selectionsOfRowBlocks(m_rows, rows);
    const ItemList& items = m_rows.items();
    {
        FlagScope guard(m_updatingSelectionElsewhere);
        m_document.GPSViewWillChangeSelection();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] && items[i]->itemSelection() != selections[i])
                items[i]->setItemSelection(selections[i]);
        m_document.GPSViewDidChangeSelection();
    }
    m_shownRows = std::move(rows);
    if (m_shownRows.empty())
        return;
    const WorldRect bounds = TrackGeometry::boundsOfSelectedPoints(items);
    if (!bounds.isNull())
        m_table->pointListCenterMap(bounds.midX(), bounds.midY());
}

// ---- cells ----------------------------------------------------------------------------------

std::string PointListEditorController::cellText(std::size_t row, PointListColumn column) const {
    const GPSPointPtr point = m_rows.pointAtRow(row);
    if (!point)
        return {};
    const GPSPointPtr previous = m_rows.previousPointInItem(row);
    return PointListCellText::text(column, row, *point, previous.get(), formatter());
}

std::string PointListEditorController::rowDescription(std::size_t row) const {
    const auto location = m_rows.locate(row);
    const GPSItemPtr* item = m_rows.itemAtRow(row);
    if (!location || !item)
        return {};
    return (*item)->itemName() + ", point " + std::to_string(location->point + 1) + " of " +
           std::to_string(m_rows.pointCountOfItem(location->item));
}

std::string PointListEditorController::editText(std::size_t row, PointListColumn column) const {
    const GPSPointPtr point = m_rows.pointAtRow(row);
    return point ? PointListEditText::editText(column, *point, measurementSystem()) : std::string();
}

bool PointListEditorController::canEditCell(std::size_t row, PointListColumn column) const {
    return (isTypedPointListColumn(column) || column == PointListColumn::Timestamp) &&
           !m_document.tempItems() && m_rows.pointAtRow(row) != nullptr;
}

bool PointListEditorController::acceptsCellText(PointListColumn column, std::string_view text) const {
    return PointListEditText::valueOfText(column, text, measurementSystem(),
                                          m_formatter.decimalSeparator())
        .has_value();
}

std::string PointListEditorController::refusalText(PointListColumn column) const {
    return PointListEditText::refusalText(column, measurementSystem());
}

PointListEditorController::EditResult
PointListEditorController::setCellText(std::size_t row, PointListColumn column, std::string_view text) {
    if (!canEditCell(row, column))
        return EditResult::Refused;
    const auto value = PointListEditText::valueOfText(column, text, measurementSystem(),
                                                      m_formatter.decimalSeparator());
    if (!value)
        return EditResult::Refused;
    // The text the edit started from gives back the value it was made from; in feet it may
    // differ in the last digit, so the text is compared as well.
    const GPSPointPtr point = m_rows.pointAtRow(row);
    const double current = column == PointListColumn::Latitude    ? point->latitude()
                           : column == PointListColumn::Longitude ? point->longitude()
                                                                  : point->elevation();
    const std::string unchangedText = editText(row, column);
    if (*value == current || text == unchangedText)
        return EditResult::Unchanged;
    return replacePoint(
        row,
        [column, value](GPSPoint& copy) {
            if (column == PointListColumn::Latitude)
                copy.setLatitude(*value);
            else if (column == PointListColumn::Longitude)
                copy.setLongitude(*value);
            else
                copy.setElevation(*value);
        },
        kEditPointActionName);
}

std::optional<Instant> PointListEditorController::timestampEditorStart(std::size_t row) const {
    const auto location = m_rows.locate(row);
    const GPSItemPtr* item = m_rows.itemAtRow(row);
    if (!location || !item)
        return std::nullopt;
    const PointList& points = (*item)->itemPoints();
    for (std::size_t i = std::min(location->point + 1, points.size()); i-- > 0;)
        if (points[i]->time())
            return points[i]->time();
    return std::nullopt;
}

PointListEditorController::EditResult PointListEditorController::setTimestamp(std::size_t row,
                                                                              Instant time) {
    if (!canEditCell(row, PointListColumn::Timestamp))
        return EditResult::Refused;
    const auto& current = m_rows.pointAtRow(row)->time();
    if (current && millisecondsOf(*current) == millisecondsOf(time))
        return EditResult::Unchanged;
    return replacePoint(
        row, [time](GPSPoint& copy) { copy.setTime(time); }, kEditTimestampActionName);
}

PointListEditorController::EditResult
PointListEditorController::replacePoint(std::size_t row, const std::function<void(GPSPoint&)>& edit,
                                        std::string_view actionName) {
    // Rows taken in before a change that was not yet announced would name another point.
    if (!m_rows.matches(m_document.permanentItems()))
        return EditResult::Refused;
    const auto location = m_rows.locate(row);
    const GPSItemPtr item = *m_rows.itemAtRow(row);
    auto copy = item->itemPoints()[location->point]->copy();
    edit(*copy);
    UndoManager& undoManager = m_document.undoManager();
    undoManager.beginUndoGrouping();
    item->replaceItemPoints(location->point, 1, {std::move(copy)});
    undoManager.setActionName(actionName);
    undoManager.endUndoGrouping();
    m_document.postTrackDataChangedNotification();
    return EditResult::Changed;
}

} // namespace wend
