#pragma once

#include <array>
#include <cstdint>
#include <cstddef>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace wend {

class GPSItem;

// The keys under which the figures are looked up by the statistics pane, the track sort and
// the timestamp dialogs.
inline constexpr std::string_view GPSTrackTotalDistanceStatisticKey =
    "GPSTrackTotalDistanceStatisticKey";
inline constexpr std::string_view GPSTrackTotalDurationStatisticKey =
    "GPSTrackTotalDurationStatisticKey";
inline constexpr std::string_view GPSTrackAverageSpeedStatisticKey =
    "GPSTrackAverageSpeedStatisticKey";
inline constexpr std::string_view GPSTrackMaxSpeedStatisticKey = "GPSTrackMaxSpeedStatisticKey";
inline constexpr std::string_view GPSTrackMinimumElevationStatisticKey =
    "GPSTrackMinimumElevationStatisticKey";
inline constexpr std::string_view GPSTrackMaximumElevationStatisticKey =
    "GPSTrackMaximumElevationStatisticKey";
inline constexpr std::string_view GPSTrackAverageElevationStatisticKey =
    "GPSTrackAverageElevationStatisticKey";
inline constexpr std::string_view GPSTrackDistanceAscendedKey = "GPSTrackDistanceAscendedKey";
inline constexpr std::string_view GPSTrackDistanceDescendedKey = "GPSTrackDistanceDescendedKey";
inline constexpr std::string_view GPSTrackAverageClimbingGradientStatisticKey =
    "GPSTrackAverageClimbingGradientStatisticKey";
inline constexpr std::string_view GPSTrackMaxClimbingGradientStatisticKey =
    "GPSTrackMaxClimbingGradientStatisticKey";
inline constexpr std::string_view GPSTrackAverageDescendingGradientStatisticKey =
    "GPSTrackAverageDescendingGradientStatisticKey";
inline constexpr std::string_view GPSTrackMaxDescendingGradientStatisticKey =
    "GPSTrackMaxDescendingGradientStatisticKey";

// The thirteen figures of one item. Units: metres, seconds, metres per second, gradients as
// rise over horizontal run. A figure that cannot be determined is NaN.
struct TrackStatistics {
    static constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    static constexpr std::size_t kFigureCount = 13;

    double totalDistance = NaN;
    double totalDuration = NaN;
    double averageSpeed = NaN;
    double maxSpeed = NaN;
    double minimumElevation = NaN;
    double maximumElevation = NaN;
    double averageElevation = NaN;
    double distanceAscended = NaN;
    double distanceDescended = NaN;
    double averageClimbingGradient = NaN;
    double maxClimbingGradient = NaN;
    double averageDescendingGradient = NaN;
    // The steepest descent: the most negative gradient.
    double maxDescendingGradient = NaN;

    // The keys in the order of the fields above.
    static const std::array<std::string_view, kFigureCount>& keys();
    // Nothing for a key that is not one of the thirteen.
    std::optional<double> valueForKey(std::string_view key) const;
    // Every key with its figure, in the order of keys().
    std::array<std::pair<std::string_view, double>, kFigureCount> entries() const;
};

// The statistics pass of one item: one walk over its points, which it only reads (so it may run
// on another thread while this one reads the same points). Points with the same time or the
// same position as the previous counted point are not counted. Nothing when the item has no
// points. ignoreOutliers drops outliers from the mean, minimum and maximum figures only.
std::optional<TrackStatistics> basicStatisticsIgnoringOutliers(const GPSItem& item,
                                                               bool ignoreOutliers);

// What a single point's details show besides its own values: its distance from the item's
// first point along the counted segments, and the speed and gradient of the segment that ends
// there. NaN where the point ends no counted segment (the first point, or one at the same time
// or place as the point counted before it).
struct PointDerivedValues {
    double distance = TrackStatistics::NaN;
    double speed = TrackStatistics::NaN;
    double gradient = TrackStatistics::NaN;
};

// The derived values of the item's point at index, from a walk over the points up to it.
PointDerivedValues derivedValuesOfPoint(const GPSItem& item, std::size_t index);

// The derived values of point after point of one item: the walk along the item is kept every
// kStride points, so that after one walk as far as the farthest point asked for each point
// costs a walk over at most kStride points. It starts again when asked about another item or
// when the item's points changed.
class DerivedValuesWalk {
public:
    static constexpr std::size_t kStride = 4096;

    // Where a walk stands: the next point to look at, the last counted one, the distance so far.
    struct State {
        std::size_t next = 1;
        std::size_t reference = 0;
        double distance = 0.0;
    };

    PointDerivedValues valuesOf(const GPSItem& item, std::size_t index);

private:
    const GPSItem* m_item = nullptr; // only compared, never followed
    std::uint64_t m_pointsRevision = 0;
    std::vector<State> m_kept; // the state at point k * kStride (the first: at point 1)
};

} // namespace wend
