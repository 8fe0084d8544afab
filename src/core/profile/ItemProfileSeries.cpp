#include "core/profile/ItemProfileSeries.h"

#include <algorithm>
#include <cmath>

namespace wend {

namespace {
constexpr float kMissing = std::numeric_limits<float>::quiet_NaN();

std::size_t index(ProfileQuantity quantity) {
    return static_cast<std::size_t>(quantity);
}

float asValue(double value) {
    return std::isnan(value) ? kMissing : static_cast<float>(value);
}
} // namespace

std::shared_ptr<const ItemProfileSeries> ItemProfileSeries::build(
    const PointList& points, const TrackPointExtensionReader& reader) {
    return compute(nullptr, points, reader);
}

std::shared_ptr<const ItemProfileSeries> ItemProfileSeries::rebuild(
    const ItemProfileSeries& previous, const PointList& points,
    const TrackPointExtensionReader& reader) {
    return compute(&previous, points, reader);
}

std::span<const double> ItemProfileSeries::positions(ProfileAxis axis) const {
    return axis == ProfileAxis::Distance ? std::span<const double>(m_distances)
                                         : std::span<const double>(m_elapsed);
}

double ItemProfileSeries::length(ProfileAxis axis) const {
    const auto along = positions(axis);
    return along.empty() ? 0.0 : along.back();
}

std::shared_ptr<const ItemProfileSeries> ItemProfileSeries::compute(
    const ItemProfileSeries* previous, const PointList& points,
    const TrackPointExtensionReader& reader) {
    auto series = std::shared_ptr<ItemProfileSeries>(new ItemProfileSeries);
    ItemProfileSeries& s = *series;
    const std::size_t count = points.size();
    s.m_points = points;
    s.m_distances.resize(count);
    s.m_times.resize(count);
    std::array<std::vector<float>, kProfileQuantityCount>& values = s.m_values;
    for (auto& list : values)
        list.assign(count, kMissing);

    // The points both lists share at their start and at their end.
    const PointList none;
    const PointList& old = previous ? previous->m_points : none;
    const std::size_t common = std::min(count, old.size());
    std::size_t prefix = 0;
    while (prefix < common && old[prefix] == points[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < common - prefix && old[old.size() - 1 - suffix] == points[count - 1 - suffix])
        ++suffix;
    const std::size_t suffixStart = count - suffix;
    const std::size_t shift = old.size() - count; // old index = new index + shift (wraps)

    // Everything a point keeps when its neighbours stay: its time and values (the speed of the
    // segment before it too, which the caller recomputes where the neighbour changed).
    const auto copyPoint = [&](std::size_t to, std::size_t from) {
        s.m_times[to] = previous->m_times[from];
        for (std::size_t q = 0; q < kProfileQuantityCount; ++q)
            if (!previous->m_values[q].empty())
                values[q][to] = previous->m_values[q][from];
    };
    for (std::size_t i = 0; i < prefix; ++i) {
        s.m_distances[i] = previous->m_distances[i];
        copyPoint(i, i);
    }

    // Every point between the shared ends is computed afresh, and so is the segment that
    // leads into the shared end.
    const std::size_t computedEnd = std::min(count, suffixStart + 1);
    for (std::size_t i = prefix; i < computedEnd; ++i) {
        const GPSPoint& point = *points[i];
        const bool shared = i >= suffixStart;
        if (shared) {
            copyPoint(i, i + shift);
        } else {
            values[index(ProfileQuantity::Elevation)][i] = asValue(point.elevation());
            s.m_times[i] = point.time() ? point.time()->secondsSince1970() : std::nan("");
            if (!point.XMLElements().empty()) {
                const TrackPointExtensionValues extension = reader.read(point.XMLElements());
                values[index(ProfileQuantity::HeartRate)][i] = asValue(extension.heartRate);
                values[index(ProfileQuantity::Cadence)][i] = asValue(extension.cadence);
                values[index(ProfileQuantity::Temperature)][i] = asValue(extension.airTemperature);
            }
        }
        if (i == 0) {
            s.m_distances[i] = 0;
            values[index(ProfileQuantity::Speed)][i] = kMissing;
            continue;
        }
        double seconds = 0;
        const double metres = point.distanceFromPoint(points[i - 1].get(), &seconds);
        s.m_distances[i] = s.m_distances[i - 1] + metres;
        values[index(ProfileQuantity::Speed)][i] =
            seconds > 0 ? static_cast<float>(metres / seconds) : kMissing;
    }
    // The rest of the shared end moves by the change in length before it.
    if (computedEnd < count) {
        const double offset = s.m_distances[suffixStart] - previous->m_distances[suffixStart + shift];
        for (std::size_t i = computedEnd; i < count; ++i) {
            s.m_distances[i] = previous->m_distances[i + shift] + offset;
            copyPoint(i, i + shift);
        }
    }

    for (auto& list : values)
        if (std::all_of(list.begin(), list.end(), [](float v) { return std::isnan(v); }))
            list = {};

    const auto firstTime =
        std::find_if(s.m_times.begin(), s.m_times.end(), [](double t) { return !std::isnan(t); });
    if (firstTime != s.m_times.end()) {
        s.m_elapsed.resize(count);
        double latest = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (!std::isnan(s.m_times[i]))
                latest = std::max(latest, s.m_times[i] - *firstTime);
            s.m_elapsed[i] = latest;
        }
    }
    return series;
}

} // namespace wend
