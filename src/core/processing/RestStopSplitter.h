#pragma once

#include "core/model/GPSItem.h"
#include "core/model/ItemColor.h"

#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wend {

// The settings of the split-at-rest-stops dialog, with the values it opens with.
struct RestStopSettings {
    double minTime = 2700;   // seconds a stop must last (anchor to first point outside)
    double maxDistance = 20; // metres around the anchor that count as resting
    bool discardRestStops = true;
};

// Finds rest stops (stretches during which the recorder stayed within maxDistance of one
// anchor point for at least minTime) and splits tracks at them.
//
// A rest stop is reported as IndexRange{S, M} where, unlike a selection range, M counts
// points: S is the anchor and S + M - 1 the first point that left the circle (or the
// track's second-to-last point when it never left).
class RestStopSplitter {
public:
    using NextColor = std::function<ItemColor()>;

    // Examines the one candidate anchored at range.location and advances `range` past the
    // points it examined (the next candidate starts after the first point outside the
    // circle). Returns the stop, or nothing when the candidate is too short, lacks times,
    // or maxDistance is negative or NaN (then `range` is left as it is).
    static std::optional<IndexRange> firstReststopInRange(const GPSItem& item, IndexRange& range,
                                                          double minTime, double maxDistance);

    // Every stop whose anchor lies in the selection-style range (points L ... L + N, clipped
    // to the item), in ascending order. The last stop's walk may run past the range's end.
    static std::vector<IndexRange> rangesOfReststops(const GPSItem& item, double minTime,
                                                     double maxDistance, IndexRange range);

    // The track cut into pieces that span it from first to last point: moving pieces named
    // like the track and, unless settings.discardRestStops, pieces named "Rest Stop 1", ...
    // in between. Adjacent pieces share their boundary point. Stops are searched in each of
    // the given ranges; a stop whose anchor lies inside an earlier stop is dropped. Each
    // piece takes its colour from `nextColor` (or keeps the track's colour when it is empty)
    // and keeps the selection of its own points. Without stops the list holds the track
    // itself.
    static ItemList tracksBySplittingTrack(const GPSItemPtr& track,
                                           const std::vector<IndexRange>& ranges,
                                           const RestStopSettings& settings,
                                           const NextColor& nextColor);

    // The dialog's result: unselected items as they are (the same objects), each selected
    // item replaced by its pieces, split at the stops in all of its selected ranges. The
    // caller resets its colour pool before each computation so that the colours repeat.
    static ItemList mutatedItems(const ItemList& originalItems, const RestStopSettings& settings,
                                 const NextColor& nextColor);

    // The minimum-time slider moves on a cube-root scale from about a minute to a day.
    static double minTimeSliderValue(double minTime) { return std::cbrt(minTime); }
    static double minTimeFromSliderValue(double value) { return value * value * value; }
    static double minTimeSliderMinValue() { return std::cbrt(60.1); }
    static double minTimeSliderMaxValue() { return std::cbrt(86400.0); }

    // "0h 56m 15s"
    static std::string minTimeDescription(double minTime);
    // "20.0 metres"
    static std::string maxDistanceDescription(double maxDistance);
};

} // namespace wend
