#pragma once

#include "core/model/GPSItem.h"

#include <cmath>
#include <optional>
#include <utility>

namespace wend::statistics_test {

inline constexpr double kNaN = GPSPoint::NaN;
inline constexpr double kNoElevation = GPSPoint::NaN;
// 2024-03-05T14:03:04Z
inline constexpr std::int64_t kBaseMicroseconds = 1709647384000000LL;

// Degrees of longitude along the equator that make the given metres on the system's sphere.
inline double degreesForMetres(double metres) {
    return metres / (6371010.0 * 3.141592653589793 / 180.0);
}

inline std::optional<Instant> at(std::optional<double> seconds) {
    if (!seconds)
        return std::nullopt;
    return Instant::fromMicroseconds(kBaseMicroseconds +
                                     static_cast<std::int64_t>(std::llround(*seconds * 1e6)));
}

// A point on the equator, `metres` east of 0°, at `seconds` after the base time.
inline GPSPointPtr pointAt(double metres, double elevation, std::optional<double> seconds) {
    return GPSPoint::pointWithLongitude(degreesForMetres(metres), 0.0, elevation, at(seconds));
}

inline GPSItemPtr trackWith(PointList points) {
    auto item = GPSItem::item();
    item->setItemPoints(std::move(points));
    return item;
}

} // namespace wend::statistics_test
