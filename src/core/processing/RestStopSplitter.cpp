#include "core/processing/RestStopSplitter.h"

#include "core/base/TextHelpers.h"

#include <algorithm>
#include <cstdio>

namespace wend {

std::optional<IndexRange> RestStopSplitter::firstReststopInRange(const GPSItem& item,
                                                                 IndexRange& range, double minTime,
                                                                 double maxDistance) {
    const PointList& points = item.itemPoints();
    const std::uint64_t count = points.size();
    const std::uint64_t anchorIndex = range.location;
    if (anchorIndex >= count || !(maxDistance >= 0))
        return std::nullopt;
    const GPSPoint& anchor = *points[anchorIndex];

    // The track's last point never takes part, so a rest lasting to the end still leaves
    // a final piece of two points.
    const GPSPoint* last = nullptr;
    while (range.location + 1 < count) {
        last = points[range.location].get();
        ++range.location;
        if (range.length > 0)
            --range.length;
        const double d = last->distanceFromPoint(&anchor);
        if (!(d <= maxDistance))
            break;
    }
    if (!last || !last->time() || !anchor.time())
        return std::nullopt;
    if (last->time()->secondsSince(*anchor.time()) >= minTime)
        return IndexRange{anchorIndex, range.location - anchorIndex};
    return std::nullopt;
}

std::vector<IndexRange> RestStopSplitter::rangesOfReststops(const GPSItem& item, double minTime,
                                                            double maxDistance, IndexRange range) {
    std::vector<IndexRange> stops;
    const std::uint64_t count = item.itemPoints().size();
    // A bad distance would make every candidate return without advancing.
    if (count < 3 || range.isNotFound() || !(maxDistance >= 0))
        return stops;
    const std::uint64_t start = std::min(range.location, count - 1);
    const std::uint64_t length = std::min(range.length, count - 1 - start);
    if (length < 2)
        return stops;
    const std::uint64_t end = start + length;

    IndexRange r{start, length};
    while (r.location + 1 < end) {
        const std::uint64_t before = r.location;
        if (auto stop = firstReststopInRange(item, r, minTime, maxDistance))
            stops.push_back(*stop);
        if (r.location == before)
            break;
    }
    return stops;
}

namespace {
GPSItemPtr pieceOfTrack(const GPSItem& track, std::uint64_t first, std::uint64_t last,
                        const std::string& name, const RestStopSplitter::NextColor& nextColor) {
    const PointList& points = track.itemPoints();
    // The piece's selection covers the same points the track had selected.
    const Selection shifted =
        track.itemSelection().selectionWithOffset(-static_cast<std::int64_t>(first));
    return GPSItem::itemWithName(
        name, track.itemType(),
        PointList(points.begin() + static_cast<std::ptrdiff_t>(first),
                  points.begin() + static_cast<std::ptrdiff_t>(last + 1)),
        track.itemLink(), track.itemDescription(), track.wptSym(), track.wptType(),
        nextColor ? std::optional<ItemColor>(nextColor()) : track.itemColor(), track.visible(),
        shifted, track.XMLElements());
}
} // namespace

ItemList RestStopSplitter::tracksBySplittingTrack(const GPSItemPtr& track,
                                                  const std::vector<IndexRange>& ranges,
                                                  const RestStopSettings& settings,
                                                  const NextColor& nextColor) {
    std::vector<IndexRange> stops;
    for (const IndexRange& range : ranges) {
        for (const IndexRange& stop :
             rangesOfReststops(*track, settings.minTime, settings.maxDistance, range)) {
            // A stop found in an earlier range may reach past the start of this one.
            if (!stops.empty() && stop.location <= stops.back().end() - 1)
                continue;
            stops.push_back(stop);
        }
    }
    if (stops.empty())
        return {track};

    ItemList pieces;
    const std::string& name = track->itemName();
    std::uint64_t previous = 0;
    unsigned counter = 0;
    for (const IndexRange& stop : stops) {
        const std::uint64_t outside = stop.location + stop.length - 1;
        pieces.push_back(pieceOfTrack(*track, previous, stop.location, name, nextColor));
        if (!settings.discardRestStops) {
            char restName[32];
            std::snprintf(restName, sizeof restName, "Rest Stop %u", ++counter);
            pieces.push_back(pieceOfTrack(*track, stop.location, outside, restName, nextColor));
        }
        previous = outside;
    }
    pieces.push_back(
        pieceOfTrack(*track, previous, track->itemPoints().size() - 1, name, nextColor));
    return pieces;
}

ItemList RestStopSplitter::mutatedItems(const ItemList& originalItems,
                                        const RestStopSettings& settings,
                                        const NextColor& nextColor) {
    ItemList result;
    result.reserve(originalItems.size());
    for (const auto& item : originalItems) {
        if (item->itemSelection().isEmpty()) {
            result.push_back(item);
            continue;
        }
        ItemList pieces =
            tracksBySplittingTrack(item, item->itemSelection().ranges(), settings, nextColor);
        result.insert(result.end(), pieces.begin(), pieces.end());
    }
    return result;
}

std::string RestStopSplitter::minTimeDescription(double minTime) {
    return stringWithTimeInterval(minTime);
}

std::string RestStopSplitter::maxDistanceDescription(double maxDistance) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%0.1f metres", maxDistance);
    return buffer;
}

} // namespace wend
