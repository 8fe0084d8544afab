#include "core/processing/StatisticsRows.h"

#include "core/processing/TrackStatistics.h"
#include "core/processing/UnitFormatter.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace wend {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Like printf's "%f" but with a full stop whatever the process locale: the GUI toolkit sets
// the C locale from the environment.
std::string fixedSixDigits(double value) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return std::string(buffer, result.ptr);
}

// Items without a figure do not take part, so the result does not depend on the items' order.
double foldMax(double folded, double value) {
    if (std::isnan(value))
        return folded;
    return std::isnan(folded) || value > folded ? value : folded;
}

double foldMin(double folded, double value) {
    if (std::isnan(value))
        return folded;
    return std::isnan(folded) || value < folded ? value : folded;
}

// The figures of several items together: sums, unweighted means of the items' means, and the
// extremes.
struct CombinedStatistics {
    std::uint64_t pointCount = 0;
    std::optional<Instant> start;
    std::optional<Instant> finish;
    double totalDistance = kNaN;
    double totalDuration = kNaN;
    double distanceAscended = kNaN;
    double distanceDescended = kNaN;
    double averageElevation = kNaN;
    double averageClimbingGradient = kNaN;
    double averageDescendingGradient = kNaN;
    double maxSpeed = kNaN;
    double maxElevation = kNaN;
    double maxClimbingGradient = kNaN;
    double minElevation = kNaN;
    double maxDescendingGradient = kNaN;
};

CombinedStatistics combineStatistics(const std::vector<StatisticsItemPart>& parts) {
    CombinedStatistics c;
    std::size_t counted = 0;
    double distance = 0, duration = 0, ascended = 0, descended = 0;
    double elevations = 0, climbing = 0, descending = 0;
    for (const auto& part : parts) {
        c.pointCount += part.pointCount;
        if (part.start && (!c.start || *part.start < *c.start))
            c.start = part.start;
        if (part.finish && (!c.finish || *part.finish > *c.finish))
            c.finish = part.finish;

        // An item without points has no figures at all; counting it as zeros would put 0 m
        // into the minimum elevation and halve the average elevation.
        const auto& s = part.statistics;
        if (!s)
            continue;
        ++counted;
        distance += s->totalDistance;
        duration += s->totalDuration;
        ascended += s->distanceAscended;
        descended += s->distanceDescended;
        elevations += s->averageElevation;
        climbing += s->averageClimbingGradient;
        descending += s->averageDescendingGradient;
        c.maxSpeed = foldMax(c.maxSpeed, s->maxSpeed);
        c.maxElevation = foldMax(c.maxElevation, s->maximumElevation);
        c.maxClimbingGradient = foldMax(c.maxClimbingGradient, s->maxClimbingGradient);
        c.minElevation = foldMin(c.minElevation, s->minimumElevation);
        c.maxDescendingGradient = foldMin(c.maxDescendingGradient, s->maxDescendingGradient);
    }
    if (counted == 0)
        return c;
    const auto n = static_cast<double>(counted);
    c.totalDistance = distance;
    c.totalDuration = duration;
    c.distanceAscended = ascended;
    c.distanceDescended = descended;
    c.averageElevation = elevations / n;
    c.averageClimbingGradient = climbing / n;
    c.averageDescendingGradient = descending / n;
    return c;
}

void addCombinedRows(const CombinedStatistics& c, const UnitFormatter& formatter,
                     const StatisticsRows::AddStat& addStat) {
    addStat("Number of Points", formatter.formattedInt(static_cast<double>(c.pointCount)));
    addStat("Start Time", formatter.timeStringForTime(c.start));
    addStat("Finish Time", formatter.timeStringForTime(c.finish));
    addStat("Total Duration", UnitFormatter::timeIntervalStringForTimeInterval(c.totalDuration));
    addStat("Total Distance", formatter.distanceStringForMetres(c.totalDistance));
    // Stops included: the distance over the whole time, not the items' moving speeds.
    addStat("Average Speed",
            formatter.speedStringForMetresPerSec(c.totalDistance / c.totalDuration));
    addStat("Maximum Speed", formatter.speedStringForMetresPerSec(c.maxSpeed));
    addStat("Average Elevation", formatter.elevationStringForMetres(c.averageElevation));
    addStat("Minimum Elevation", formatter.elevationStringForMetres(c.minElevation));
    addStat("Maximum Elevation", formatter.elevationStringForMetres(c.maxElevation));
    addStat("Distance Climbed", formatter.elevationStringForMetres(c.distanceAscended));
    addStat("Distance Descended", formatter.elevationStringForMetres(c.distanceDescended));
    addStat("Average Climbing Gradient",
            UnitFormatter::gradientStringForGradient(c.averageClimbingGradient));
    addStat("Maximum Climbing Gradient",
            UnitFormatter::gradientStringForGradient(c.maxClimbingGradient));
    addStat("Average Descending Gradient",
            UnitFormatter::gradientStringForGradient(c.averageDescendingGradient));
    addStat("Maximum Descending Gradient",
            UnitFormatter::gradientStringForGradient(c.maxDescendingGradient));
}

// Rows whose value is unknown are left out.
StatisticsRows::AddStat addingTo(std::vector<StatisticsRow>& rows) {
    return [&rows](std::string_view label, std::string value) {
        if (value != UnitFormatter::kUnknown)
            rows.push_back({std::string(label), std::move(value)});
    };
}

} // namespace

StatisticsItemPart StatisticsItemPart::ofItem(const GPSItem& item,
                                              std::optional<TrackStatistics> statistics) {
    return {item.itemPoints().size(), item.startDate(), item.finishDate(), statistics};
}

std::string StatisticsRow::text() const {
    if (label.empty())
        return value;
    return label + ": " + value;
}

std::vector<StatisticsRow>
StatisticsRows::selectionStatisticsForTracks(const ItemList& items, const UnitFormatter& formatter,
                                             bool ignoreOutliers,
                                             const PointDerivedValues& singlePointValues) {
    std::vector<StatisticsRow> rows;
    if (items.empty()) {
        rows.push_back({std::string(), std::string(kNoStatisticsText)});
        return rows;
    }
    const AddStat addStat = addingTo(rows);
    if (items.size() == 1 && items.front() && items.front()->itemPoints().size() == 1)
        generateStatisticsForSinglePoint(*items.front()->itemPoints().front(), singlePointValues,
                                         formatter, addStat);
    else
        generateStatisticsForMultiplePoints(items, formatter, ignoreOutliers, addStat);
    return rows;
}

void StatisticsRows::generateStatisticsForSinglePoint(const GPSPoint& point,
                                                      const PointDerivedValues& derived,
                                                      const UnitFormatter& formatter,
                                                      const AddStat& addStat) {
    addStat("Time", formatter.timeStringForTime(point.time()));
    addStat("Location",
            fixedSixDigits(point.latitude()) + ", " + fixedSixDigits(point.longitude()));
    if (!std::isnan(derived.distance))
        addStat("Distance From Origin", formatter.distanceStringForMetres(derived.distance));
    if (!std::isnan(derived.speed))
        addStat("Speed", formatter.speedStringForMetresPerSec(derived.speed));
    addStat("Elevation", formatter.elevationStringForMetres(point.elevation()));
    if (!std::isnan(derived.gradient))
        addStat("Gradient", UnitFormatter::gradientStringForGradient(derived.gradient));
}

void StatisticsRows::generateStatisticsForMultiplePoints(const ItemList& items,
                                                         const UnitFormatter& formatter,
                                                         bool ignoreOutliers,
                                                         const AddStat& addStat) {
    std::vector<StatisticsItemPart> parts;
    for (const auto& item : items)
        if (item)
            parts.push_back(StatisticsItemPart::ofItem(
                *item, basicStatisticsIgnoringOutliers(*item, ignoreOutliers)));
    addCombinedRows(combineStatistics(parts), formatter, addStat);
}

std::vector<StatisticsRow> StatisticsRows::rowsForParts(const std::vector<StatisticsItemPart>& parts,
                                                        const UnitFormatter& formatter) {
    std::vector<StatisticsRow> rows;
    addCombinedRows(combineStatistics(parts), formatter, addingTo(rows));
    return rows;
}

} // namespace wend
