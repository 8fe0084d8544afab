#include "core/pointlist/PointListColumn.h"

namespace wend {

std::string_view titleOfPointListColumn(PointListColumn column) {
    switch (column) {
    case PointListColumn::RowNumber:
        return "Point";
    case PointListColumn::Timestamp:
        return "Time";
    case PointListColumn::Latitude:
        return "Latitude";
    case PointListColumn::Longitude:
        return "Longitude";
    case PointListColumn::Elevation:
        return "Elevation";
    case PointListColumn::Speed:
        return "Speed";
    case PointListColumn::Gradient:
        return "Gradient";
    }
    return {};
}

bool isTypedPointListColumn(PointListColumn column) {
    return column == PointListColumn::Latitude || column == PointListColumn::Longitude ||
           column == PointListColumn::Elevation;
}

} // namespace wend
