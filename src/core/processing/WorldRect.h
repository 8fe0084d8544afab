#pragma once

#include <cmath>
#include <limits>

namespace wend {

// A rectangle in world coordinates: x = longitude, y = latitude, in degrees; the origin is
// the south-west corner. NaN fields mark a rectangle of nothing.
struct WorldRect {
    static constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

    double x = NaN;
    double y = NaN;
    double width = NaN;
    double height = NaN;

    bool isNull() const { return std::isnan(x) || std::isnan(y); }
    double midX() const { return x + width / 2; }
    double midY() const { return y + height / 2; }
};

} // namespace wend
