#pragma once

#include "core/model/GPSItem.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace wend::testing {

inline constexpr double kNoElevation = GPSPoint::NaN;
// 2024-03-05T14:03:04Z
inline constexpr std::int64_t kBaseMicroseconds = 1709647384000000LL;

// Degrees of longitude along the equator for a distance in metres (the sphere of
// GPSPoint::distanceFromPoint).
inline double metresEast(double metres) {
    return metres / (6371010.0 * 3.141592653589793 / 180.0);
}

inline GPSItemPtr trackWith(PointList points, const char* name = "Track") {
    auto item = GPSItem::item();
    item->setItemName(name);
    item->setItemPoints(std::move(points));
    return item;
}

// A point on the equator, `metres` east of 0°, at `seconds` after the base time.
inline GPSPointPtr pointAt(double metres, double elevation, std::optional<double> seconds) {
    std::optional<Instant> time;
    if (seconds)
        time = Instant::fromMicroseconds(kBaseMicroseconds + std::llround(*seconds * 1e6));
    return GPSPoint::pointWithLongitude(metresEast(metres), 0.0, elevation, time);
}

struct TestPoint {
    TestPoint(double lon, double lat, std::optional<double> seconds = std::nullopt)
        : lon(lon), lat(lat), seconds(seconds) {}
    double lon, lat;
    std::optional<double> seconds; // since the epoch
};

inline GPSItemPtr makeTrack(const std::vector<TestPoint>& rows, const char* name = "Track") {
    PointList points;
    for (const auto& s : rows)
        points.push_back(GPSPoint::pointWithLongitude(
            s.lon, s.lat, GPSPoint::NaN,
            s.seconds ? std::optional(Instant::fromSecondsSince1970(*s.seconds)) : std::nullopt));
    return trackWith(std::move(points), name);
}

inline void selectRanges(GPSItem& item, const std::vector<IndexRange>& ranges) {
    item.setItemSelection(
        Selection::selectionWithValidSelectionRange(item.pointIndexRange(), ranges));
}

inline void selectAll(GPSItem& item) {
    item.setItemSelection(item.itemSelection().selectionBySelectingAll());
}

// Everything about items that processing must leave alone: point identities, positions and
// times, selections, names and colours.
inline auto stateOf(const ItemList& items) {
    using Point = std::tuple<GPSPointPtr, double, double, std::optional<Instant>>;
    std::vector<std::tuple<std::vector<Point>, std::vector<IndexRange>, std::string,
                           std::optional<ItemColor>>>
        result;
    for (const auto& item : items) {
        std::vector<Point> points;
        for (const auto& p : item->itemPoints())
            points.emplace_back(p, p->longitude(), p->latitude(), p->time());
        result.emplace_back(points, item->itemSelection().ranges(), item->itemName(),
                            item->itemColor());
    }
    return result;
}

} // namespace wend::testing
