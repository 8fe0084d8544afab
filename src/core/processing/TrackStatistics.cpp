#include "core/processing/TrackStatistics.h"

#include "core/model/GPSItem.h"
#include "core/processing/StatisticAccumulator.h"

#include <algorithm>
#include <cmath>

namespace wend {

namespace {
// About 2 km/h: slower segments are standing still (or time running backwards) and would
// drag the moving speed down.
constexpr double kMinimumMovingSpeed = 0.556;
// First and last times closer than this give no duration.
constexpr double kMinimumDuration = 0.001;

constexpr std::array<std::string_view, TrackStatistics::kFigureCount> kKeys = {
    GPSTrackTotalDistanceStatisticKey,
    GPSTrackTotalDurationStatisticKey,
    GPSTrackAverageSpeedStatisticKey,
    GPSTrackMaxSpeedStatisticKey,
    GPSTrackMinimumElevationStatisticKey,
    GPSTrackMaximumElevationStatisticKey,
    GPSTrackAverageElevationStatisticKey,
    GPSTrackDistanceAscendedKey,
    GPSTrackDistanceDescendedKey,
    GPSTrackAverageClimbingGradientStatisticKey,
    GPSTrackMaxClimbingGradientStatisticKey,
    GPSTrackAverageDescendingGradientStatisticKey,
    GPSTrackMaxDescendingGradientStatisticKey,
};

std::array<double, TrackStatistics::kFigureCount> figuresOf(const TrackStatistics& s) {
    return {s.totalDistance,        s.totalDuration,
            s.averageSpeed,         s.maxSpeed,
            s.minimumElevation,     s.maximumElevation,
            s.averageElevation,     s.distanceAscended,
            s.distanceDescended,    s.averageClimbingGradient,
            s.maxClimbingGradient,  s.averageDescendingGradient,
            s.maxDescendingGradient};
}

// Moves the walk on to `end`, calling segment(index, current, reference, distance, timeDelta,
// gradient) for each counted segment on the way, after adding its distance to the state's: the
// pass and a single point's details count the same segments.
template <typename Segment>
void walkCountedSegments(const PointList& points, DerivedValuesWalk::State& state, std::size_t end,
                         Segment&& segment) {
    const GPSPoint* reference = points[state.reference].get();
    for (std::size_t i = state.next; i < end; ++i) {
        const GPSPoint* current = points[i].get();
        const auto& time = current->time();
        const auto& referenceTime = reference->time();
        if (time && referenceTime && *time == *referenceTime)
            continue;
        if (current->longitude() == reference->longitude() &&
            current->latitude() == reference->latitude())
            continue;
        double timeDelta = 0.0;
        double gradient = 0.0;
        const double d = current->distanceFromPoint(reference, &timeDelta, &gradient);
        state.distance += d;
        segment(i, *current, *reference, d, timeDelta, gradient);
        reference = current;
        state.reference = i;
    }
    state.next = std::max(state.next, end);
}
} // namespace

const std::array<std::string_view, TrackStatistics::kFigureCount>& TrackStatistics::keys() {
    return kKeys;
}

std::optional<double> TrackStatistics::valueForKey(std::string_view key) const {
    const auto figures = figuresOf(*this);
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        if (kKeys[i] == key)
            return figures[i];
    }
    return std::nullopt;
}

std::array<std::pair<std::string_view, double>, TrackStatistics::kFigureCount>
TrackStatistics::entries() const {
    const auto figures = figuresOf(*this);
    std::array<std::pair<std::string_view, double>, kFigureCount> result;
    for (std::size_t i = 0; i < kFigureCount; ++i)
        result[i] = {kKeys[i], figures[i]};
    return result;
}

std::optional<TrackStatistics> basicStatisticsIgnoringOutliers(const GPSItem& item,
                                                               bool ignoreOutliers) {
    const PointList& points = item.itemPoints();
    if (points.empty())
        return std::nullopt;

    // Sized for the whole track at once: regrowing four buffers dominated long tracks.
    const std::size_t capacity = std::max(points.size(), StatisticAccumulator::kDefaultCapacity);
    StatisticAccumulator elevations(capacity);
    StatisticAccumulator speeds(capacity);
    StatisticAccumulator climbingGradients(capacity);
    StatisticAccumulator descendingGradients(capacity);

    double duration = TrackStatistics::NaN;
    const auto& firstTime = points.front()->time();
    const auto& lastTime = points.back()->time();
    if (firstTime && lastTime) {
        duration = lastTime->secondsSince(*firstTime);
        if (std::fabs(duration) < kMinimumDuration)
            duration = TrackStatistics::NaN;
    }

    DerivedValuesWalk::State walk;
    double ascended = 0.0;
    double descended = 0.0;
    elevations.addSample(points.front()->elevation());
    walkCountedSegments(points, walk, points.size(), [&](std::size_t, const GPSPoint& current,
                                                     const GPSPoint& reference, double d,
                                                     double timeDelta, double gradient) {
        const double speed = d / timeDelta;
        const double elevation = current.elevation();
        if (std::isnan(speed))
            speeds.invalidate();
        if (std::isnan(elevation))
            elevations.invalidate();
        if (std::isnan(gradient)) {
            climbingGradients.invalidate();
            descendingGradients.invalidate();
        }
        elevations.addSample(elevation);
        if (gradient > 0) {
            climbingGradients.addSample(gradient);
            ascended += elevation - reference.elevation();
        } else if (gradient < 0) {
            descendingGradients.addSample(gradient);
            descended += reference.elevation() - elevation;
        }
        if (speed > kMinimumMovingSpeed)
            speeds.addSample(speed);
    });

    TrackStatistics s;
    s.totalDistance = walk.distance;
    s.totalDuration = duration;
    s.averageSpeed = speeds.calculateMeanDiscardingOutliers(ignoreOutliers);
    s.maxSpeed = speeds.calculateMaxDiscardingOutliers(ignoreOutliers);
    s.minimumElevation = elevations.calculateMinDiscardingOutliers(ignoreOutliers);
    s.maximumElevation = elevations.calculateMaxDiscardingOutliers(ignoreOutliers);
    s.averageElevation = elevations.calculateMeanDiscardingOutliers(ignoreOutliers);
    s.distanceAscended = ascended;
    s.distanceDescended = descended;
    s.averageClimbingGradient = climbingGradients.calculateMeanDiscardingOutliers(ignoreOutliers);
    s.maxClimbingGradient = climbingGradients.calculateMaxDiscardingOutliers(ignoreOutliers);
    s.averageDescendingGradient =
        descendingGradients.calculateMeanDiscardingOutliers(ignoreOutliers);
    s.maxDescendingGradient = descendingGradients.calculateMinDiscardingOutliers(ignoreOutliers);
    return s;
}

PointDerivedValues derivedValuesOfPoint(const GPSItem& item, std::size_t index) {
    return DerivedValuesWalk().valuesOf(item, index);
}

PointDerivedValues DerivedValuesWalk::valuesOf(const GPSItem& item, std::size_t index) {
    const PointList& points = item.itemPoints();
    if (index >= points.size())
        return {};
    if (&item != m_item || item.pointsRevision() != m_pointsRevision) {
        m_item = &item;
        m_pointsRevision = item.pointsRevision();
        m_kept.assign(1, State());
    }
    const auto none = [](std::size_t, const GPSPoint&, const GPSPoint&, double, double, double) {};
    while (m_kept.size() <= index / kStride) {
        State state = m_kept.back();
        walkCountedSegments(points, state, m_kept.size() * kStride, none);
        m_kept.push_back(state);
    }
    State state = m_kept[index / kStride];
    PointDerivedValues values;
    walkCountedSegments(points, state, index + 1,
                        [&](std::size_t i, const GPSPoint&, const GPSPoint&, double d,
                            double timeDelta, double gradient) {
                            if (i == index)
                                values = {state.distance, d / timeDelta, gradient};
                        });
    return values;
}

} // namespace wend
