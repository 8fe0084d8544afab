#pragma once

#include "core/model/GPSPoint.h"
#include "core/pointlist/PointListColumn.h"
#include "core/processing/UnitFormatter.h"

#include <cstddef>
#include <string>

namespace wend {

// The text a cell of the point list shows.
class PointListCellText {
public:
    static constexpr std::string_view kNoTime = "None";

    // Row numbers count from 1. The timestamp is "None" without a time; latitude and longitude
    // have a sign and six decimals; elevation and speed are in the formatter's measurement
    // system. Speed and gradient are those of the segment from `previous` (the point before in
    // the same item, null for an item's first point) to this point, "Unknown" where there is
    // none; the gradient carries its sign, since no label tells a descent from a climb here.
    static std::string text(PointListColumn column, std::size_t row, const GPSPoint& point,
                            const GPSPoint* previous, const UnitFormatter& formatter);
};

} // namespace wend
