#include "core/profile/ItemProfileSeries.h"

#include <algorithm>
#include <cmath>

namespace wend {

namespace {
constexpr float kMissing = std::numeric_limits<float>::quiet_NaN();

constexpr std::size_t index(ProfileQuantity quantity) {
    return static_cast<std::size_t>(quantity);
}

constexpr std::array<ProfileQuantity, 2> kComputedQuantities = {ProfileQuantity::Elevation,
                                                                ProfileQuantity::Speed};
constexpr std::array<ProfileQuantity, 3> kExtensionQuantities = {
    ProfileQuantity::HeartRate, ProfileQuantity::Cadence, ProfileQuantity::Temperature};

bool isExtensionQuantity(ProfileQuantity quantity) {
    return std::find(kExtensionQuantities.begin(), kExtensionQuantities.end(), quantity) !=
           kExtensionQuantities.end();
}

float asValue(double value) {
    return std::isnan(value) ? kMissing : static_cast<float>(value);
}

// Values that are there, in [from, to).
std::size_t countIn(const std::vector<float>& values, std::size_t from, std::size_t to) {
    if (values.empty())
        return 0;
    return static_cast<std::size_t>(std::count_if(values.begin() + static_cast<std::ptrdiff_t>(from),
                                                  values.begin() + static_cast<std::ptrdiff_t>(to),
                                                  [](float v) { return !std::isnan(v); }));
}

void storeExtension(std::array<std::vector<float>, kProfileQuantityCount>& values, std::size_t i,
                    const TrackPointExtensionValues& extension) {
    values[index(ProfileQuantity::HeartRate)][i] = asValue(extension.heartRate);
    values[index(ProfileQuantity::Cadence)][i] = asValue(extension.cadence);
    values[index(ProfileQuantity::Temperature)][i] = asValue(extension.airTemperature);
}
} // namespace

std::shared_ptr<const ItemProfileSeries> ItemProfileSeries::build(const PointList& points,
                                                                  Reader reader) {
    return compute(nullptr, points, std::move(reader));
}

std::shared_ptr<const ItemProfileSeries> ItemProfileSeries::rebuild(
    const ItemProfileSeries& previous, const PointList& points, Reader reader) {
    return compute(&previous, points, std::move(reader));
}

std::span<const double> ItemProfileSeries::positions(ProfileAxis axis) const {
    return axis == ProfileAxis::Distance ? std::span<const double>(m_distances)
                                         : std::span<const double>(m_elapsed);
}

double ItemProfileSeries::length(ProfileAxis axis) const {
    const auto along = positions(axis);
    return along.empty() ? 0.0 : along.back();
}

const std::vector<float>& ItemProfileSeries::values(ProfileQuantity quantity) const {
    if (!m_extensionsRead && isExtensionQuantity(quantity))
        readExtensions();
    return m_values[index(quantity)];
}

const ValueRangeIndex& ItemProfileSeries::rangeIndex(ProfileQuantity quantity) const {
    std::unique_ptr<ValueRangeIndex>& rangeIndex = m_rangeIndexes[index(quantity)];
    if (!rangeIndex)
        rangeIndex = std::make_unique<ValueRangeIndex>(values(quantity));
    return *rangeIndex;
}

void ItemProfileSeries::readExtensions() const {
    m_extensionsRead = true;
    const std::size_t count = m_points.size();
    for (ProfileQuantity quantity : kExtensionQuantities)
        m_values[index(quantity)].assign(count, kMissing);
    for (std::size_t i = 0; i < count; ++i)
        if (!m_points[i]->XMLElements().empty())
            storeExtension(m_values, i, m_reader->read(m_points[i]->XMLElements()));
    for (ProfileQuantity quantity : kExtensionQuantities) {
        m_valueCounts[index(quantity)] = countIn(m_values[index(quantity)], 0, count);
        if (m_valueCounts[index(quantity)] == 0)
            m_values[index(quantity)] = {};
    }
}

std::shared_ptr<const ItemProfileSeries> ItemProfileSeries::compute(
    const ItemProfileSeries* previous, const PointList& points, Reader reader) {
    auto series = std::shared_ptr<ItemProfileSeries>(new ItemProfileSeries);
    ItemProfileSeries& s = *series;
    s.m_reader = std::move(reader);
    const std::size_t count = points.size();
    s.m_points.reserve(count);
    s.m_distances.resize(count);
    s.m_times.resize(count);

    // The extension values are kept up to date once they have been read.
    const bool withExtensions = previous && previous->m_extensionsRead;
    s.m_extensionsRead = withExtensions;
    std::vector<ProfileQuantity> quantities(kComputedQuantities.begin(), kComputedQuantities.end());
    if (withExtensions)
        quantities.insert(quantities.end(), kExtensionQuantities.begin(), kExtensionQuantities.end());
    for (ProfileQuantity quantity : quantities)
        s.m_values[index(quantity)].assign(count, kMissing);

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
    // Computed afresh: every point between the shared ends, and the segment leading into the
    // shared end.
    const std::size_t computedEnd = std::min(count, suffixStart + 1);

    // Everything a point keeps when its neighbours stay: its time and values (also the speed
    // of the segment before it, which is computed again where that neighbour changed).
    const auto copyPoint = [&](std::size_t to, std::size_t from) {
        s.m_times[to] = previous->m_times[from];
        for (ProfileQuantity quantity : quantities)
            if (!previous->m_values[index(quantity)].empty())
                s.m_values[index(quantity)][to] = previous->m_values[index(quantity)][from];
    };
    const auto computeSegment = [&](std::size_t i, const GPSPoint& point) {
        if (i == 0) {
            s.m_distances[0] = 0;
            s.m_values[index(ProfileQuantity::Speed)][0] = kMissing;
            return;
        }
        double seconds = 0;
        const double metres = point.distanceFromPoint(points[i - 1].get(), &seconds);
        s.m_distances[i] = s.m_distances[i - 1] + metres;
        s.m_values[index(ProfileQuantity::Speed)][i] =
            seconds > 0 ? static_cast<float>(metres / seconds) : kMissing;
    };

    for (std::size_t i = 0; i < prefix; ++i) {
        s.m_points.push_back(points[i]);
        s.m_distances[i] = previous->m_distances[i];
        copyPoint(i, i);
    }
    for (std::size_t i = prefix; i < computedEnd; ++i) {
        s.m_points.push_back(points[i]);
        const GPSPoint& point = *points[i];
        if (i >= suffixStart) {
            copyPoint(i, i + shift);
        } else {
            s.m_values[index(ProfileQuantity::Elevation)][i] = asValue(point.elevation());
            s.m_times[i] = point.time() ? point.time()->secondsSince1970() : std::nan("");
            if (withExtensions && !point.XMLElements().empty())
                storeExtension(s.m_values, i, s.m_reader->read(point.XMLElements()));
        }
        computeSegment(i, point);
    }
    // The rest of the shared end moves by the change in length before it.
    if (computedEnd < count) {
        const double offset = s.m_distances[suffixStart] - previous->m_distances[suffixStart + shift];
        for (std::size_t i = computedEnd; i < count; ++i) {
            s.m_points.push_back(points[i]);
            s.m_distances[i] = previous->m_distances[i + shift] + offset;
            copyPoint(i, i + shift);
        }
    }

    // Counted where they changed only: the previous counts, less the values replaced.
    const std::size_t oldComputedEnd = std::min(old.size(), old.size() - suffix + 1);
    for (ProfileQuantity quantity : quantities) {
        const std::size_t q = index(quantity);
        s.m_valueCounts[q] = countIn(s.m_values[q], prefix, computedEnd);
        if (previous)
            s.m_valueCounts[q] += previous->m_valueCounts[q] -
                                  countIn(previous->m_values[q], prefix, oldComputedEnd);
        if (s.m_valueCounts[q] == 0)
            s.m_values[q] = {};
    }

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
