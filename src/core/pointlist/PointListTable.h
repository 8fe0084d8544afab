#pragma once

#include "core/pointlist/PointListRows.h"

#include <cstddef>
#include <optional>

namespace wend {

// What the point list's controller asks of the table that shows it. Every operation has an
// empty default.
class PointListTable {
public:
    virtual ~PointListTable() = default;

    // The rows were taken in again: there are `rowCount` now, and any row may show something
    // else. The current cell, the selection of the rows that remain and the scroll position
    // stay.
    virtual void pointListRowsDidChange(std::size_t /*rowCount*/) {}
    // Shows exactly these rows selected; with `scrollTo`, brings that row into view.
    virtual void pointListSelectRows(const RowBlockList& /*rows*/,
                                     std::optional<std::size_t> /*scrollTo*/) {}
    // Centres the map on this place, keeping its zoom.
    virtual void pointListCenterMap(double /*lon*/, double /*lat*/) {}
};

} // namespace wend
