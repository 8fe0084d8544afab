#include "core/pointlist/PointListCellText.h"

#include <charconv>
#include <cmath>

namespace wend {

namespace {

// "%+0.6f" in every locale.
std::string signedDegrees(double degrees) {
    if (!std::isfinite(degrees))
        return std::string(UnitFormatter::kUnknown);
    char buffer[400];
    buffer[0] = '+';
    const auto result =
        std::to_chars(buffer + 1, buffer + sizeof buffer, degrees, std::chars_format::fixed, 6);
    const char* begin = buffer[1] == '-' ? buffer + 1 : buffer;
    return std::string(begin, static_cast<const char*>(result.ptr));
}

} // namespace

std::string PointListCellText::text(PointListColumn column, std::size_t row, const GPSPoint& point,
                                    const GPSPoint* previous, const UnitFormatter& formatter) {
    switch (column) {
    case PointListColumn::RowNumber:
        return std::to_string(row + 1);
    case PointListColumn::Timestamp:
        return point.time() ? formatter.timeStringForTime(point.time()) : std::string(kNoTime);
    case PointListColumn::Latitude:
        return signedDegrees(point.latitude());
    case PointListColumn::Longitude:
        return signedDegrees(point.longitude());
    case PointListColumn::Elevation:
        return formatter.elevationStringForMetres(point.elevation());
    case PointListColumn::Speed:
    case PointListColumn::Gradient:
        break;
    }
    double timeDelta = GPSPoint::NaN;
    double gradient = GPSPoint::NaN;
    double distance = GPSPoint::NaN;
    if (previous)
        distance = point.distanceFromPoint(previous, &timeDelta, &gradient);
    if (column == PointListColumn::Gradient)
        return UnitFormatter::signedGradientStringForGradient(gradient);
    // A point timed before the one it follows has no speed, rather than a negative one.
    const double speed = timeDelta > 0 ? distance / timeDelta : GPSPoint::NaN;
    return formatter.speedStringForMetresPerSec(std::isfinite(speed) ? speed : GPSPoint::NaN);
}

} // namespace wend
