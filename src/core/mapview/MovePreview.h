#pragma once

#include "core/mapview/MapViewTypes.h"
#include "core/model/GPSItem.h"
#include "core/model/IndexRange.h"

#include <vector>

namespace wend {

// Points shown moved while a drag moves them, before the document changes: for each item the
// stretches of point indexes that move, all by the same offset in degrees. The map view draws
// them where they would be; only what moves is placed anew on each step.
struct MovePreview {
    struct MovedPoints {
        GPSItemPtr item;
        // Sorted, disjoint stretches (a length of 0 is one point).
        std::vector<IndexRange> ranges;
    };

    std::vector<MovedPoints> items;
    double lonOffset = 0;
    double latOffset = 0;

    // The stretches of an item that move; null when none of its points do.
    const std::vector<IndexRange>* rangesFor(const GPSItem* item) const {
        for (const auto& moved : items)
            if (moved.item.get() == item)
                return &moved.ranges;
        return nullptr;
    }
    // Where a point is shown: its position plus the offset, wrapped as the point setters do.
    WorldPoint movedPosition(const GPSPoint& point) const {
        return {GPSPoint::normalizedLongitude(point.longitude() + lonOffset),
                GPSPoint::normalizedLatitude(point.latitude() + latOffset)};
    }
    // Whether the same points move (the offset aside).
    bool movesSamePoints(const MovePreview& other) const {
        if (items.size() != other.items.size())
            return false;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].item != other.items[i].item || items[i].ranges != other.items[i].ranges)
                return false;
        return true;
    }
};

} // namespace wend
