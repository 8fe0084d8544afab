#pragma once

#include "core/model/GPSItem.h"

#include <optional>
#include <utility>
#include <vector>

namespace wend::testing {

struct TestPoint {
    TestPoint(double lon, double lat, std::optional<double> seconds = std::nullopt)
        : lon(lon), lat(lat), seconds(seconds) {}

    double lon;
    double lat;
    std::optional<double> seconds; // since the epoch
};

inline GPSItemPtr makeTrack(const std::vector<TestPoint>& rows, const char* name = "Track") {
    PointList points;
    for (const auto& s : rows)
        points.push_back(GPSPoint::pointWithLongitude(
            s.lon, s.lat, GPSPoint::NaN,
            s.seconds ? std::optional<Instant>(Instant::fromSecondsSince1970(*s.seconds))
                      : std::nullopt));
    auto item = GPSItem::item();
    item->setItemName(name);
    item->setItemPoints(std::move(points));
    return item;
}

inline void selectRanges(GPSItem& item, const std::vector<IndexRange>& ranges) {
    item.setItemSelection(
        Selection::selectionWithValidSelectionRange(item.pointIndexRange(), ranges));
}

inline void selectAll(GPSItem& item) {
    item.setItemSelection(item.itemSelection().selectionBySelectingAll());
}

// Degrees of longitude along the equator for a distance in metres (the sphere of
// GPSPoint::distanceFromPoint).
inline double metresEast(double metres) {
    return metres / (6371010.0 * 3.141592653589793 / 180.0);
}

// Everything about an item that processing must leave alone.
struct ItemSnapshot {
    PointList points;
    std::vector<std::pair<double, double>> positions;
    std::vector<std::optional<Instant>> times;
    Selection selection;
    std::string name;
    std::optional<ItemColor> color;

    explicit ItemSnapshot(const GPSItem& item)
        : points(item.itemPoints()), selection(item.itemSelection()), name(item.itemName()),
          color(item.itemColor()) {
        for (const auto& p : points) {
            positions.emplace_back(p->longitude(), p->latitude());
            times.push_back(p->time());
        }
    }

    bool matches(const GPSItem& item) const {
        if (item.itemPoints() != points || item.itemSelection() != selection ||
            item.itemName() != name || item.itemColor() != color)
            return false;
        for (std::size_t i = 0; i < points.size(); ++i)
            if (std::pair(points[i]->longitude(), points[i]->latitude()) != positions[i] ||
                points[i]->time() != times[i])
                return false;
        return true;
    }
};

inline std::vector<ItemSnapshot> snapshot(const ItemList& items) {
    std::vector<ItemSnapshot> result;
    for (const auto& item : items)
        result.emplace_back(*item);
    return result;
}

inline bool unchanged(const ItemList& items, const std::vector<ItemSnapshot>& snapshots) {
    if (items.size() != snapshots.size())
        return false;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!snapshots[i].matches(*items[i]))
            return false;
    return true;
}

} // namespace wend::testing
