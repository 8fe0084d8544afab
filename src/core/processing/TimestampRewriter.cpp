#include "core/processing/TimestampRewriter.h"

#include "core/processing/TrackStatistics.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace wend {

namespace {
PointList copiedPoints(const PointList& points) {
    PointList copies;
    copies.reserve(points.size());
    for (const auto& p : points)
        copies.push_back(p->copy());
    return copies;
}

double totalDistanceOf(const GPSItem& item) {
    const auto statistics = basicStatisticsIgnoringOutliers(item, false);
    return statistics ? statistics->totalDistance : GPSPoint::NaN;
}

TimestampRewriteResult refused(std::string message) {
    return TimestampRewriteResult{std::nullopt, std::move(message)};
}
} // namespace

ItemList TimestampRewriter::offsetTimestamps(const ItemList& originalItems, double seconds) {
    if (!std::isfinite(seconds))
        seconds = 0;
    ItemList result;
    result.reserve(originalItems.size());
    for (const auto& original : originalItems) {
        PointList points = copiedPoints(original->itemPoints());
        const Selection& selection = original->itemSelection();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const auto& time = points[i]->time();
            if (time && selection.isSelectedAtIndex(i))
                points[i]->setTime(time->addingSeconds(seconds));
        }
        auto copy = original->copy();
        copy->setItemPoints(std::move(points));
        result.push_back(std::move(copy));
    }
    return result;
}

TimestampRewriteResult
TimestampRewriter::overwriteTimestamps(const ItemList& originalItems,
                                       const OverwriteTimestampsSettings& settings) {
    const auto method = settings.incrementMethod;
    double speed = GPSPoint::NaN;
    if (method == TimestampIncrementMethod::BySpeed) {
        speed = settings.speed;
        if (!(speed > 0) || !std::isfinite(speed))
            return refused("The speed must be greater than zero.");
    } else if (method == TimestampIncrementMethod::ByFinishDate) {
        if (!settings.finishDate || !(*settings.finishDate > settings.startDate))
            return refused("The finish date must be later than the start date.");
        double length = 0;
        for (const auto& item : originalItems)
            if (!item->itemSelection().isEmpty()) {
                const double d = totalDistanceOf(*item);
                if (!std::isnan(d))
                    length += d;
            }
        if (!(length > 0) || !std::isfinite(length))
            return refused("The selected tracks have no length, so no speed can be derived "
                           "from the finish date.");
        speed = length / settings.finishDate->secondsSince(settings.startDate);
    } else if (!(settings.timeInterval >= 0) || !std::isfinite(settings.timeInterval)) {
        return refused("The time interval must not be negative.");
    }

    ItemList result;
    result.reserve(originalItems.size());
    std::optional<Instant> previousFinish;
    for (const auto& original : originalItems) {
        auto copy = original->copy();
        const PointList& originalPoints = original->itemPoints();
        if (original->itemSelection().isEmpty() || originalPoints.empty()) {
            result.push_back(std::move(copy));
            continue;
        }
        const Instant first = !settings.everyItemFromStartDate && previousFinish
                                  ? *previousFinish
                                  : settings.startDate;
        PointList points = copiedPoints(originalPoints);
        // Offsets add up from the item's first time and are rounded once per point, so no
        // rounding error builds up along a long track.
        double offset = 0;
        points[0]->setTime(first);
        for (std::size_t i = 1; i < points.size(); ++i) {
            double step = settings.timeInterval;
            if (method != TimestampIncrementMethod::ByTimeInterval)
                step = originalPoints[i]->distanceFromPoint(originalPoints[i - 1].get()) / speed;
            if (std::isfinite(step))
                offset += step; // a point without a position takes its predecessor's time
            points[i]->setTime(first.addingSeconds(offset));
        }
        previousFinish = points.back()->time();
        copy->setItemPoints(std::move(points));
        result.push_back(std::move(copy));
    }
    return TimestampRewriteResult{std::move(result), {}};
}

OverwriteTimestampsOpening TimestampRewriter::openingValues(const ItemList& originalItems) {
    OverwriteTimestampsOpening opening;
    bool foundFirst = false;
    for (const auto& item : originalItems) {
        if (item->itemSelection().isEmpty())
            continue;
        if (!foundFirst) {
            opening.startDate = item->startDate();
            foundFirst = true;
        }
        opening.finishDate = item->finishDate();
        if (!item->itemSelection().isFull())
            opening.showSelectionsWarning = true;
    }
    return opening;
}

double TimestampRewriter::speedIncrementInMS(double speed, MeasurementSystem system) {
    const double metresPerUnit = system == MeasurementSystem::Imperial ? 1609.344 : 1000.0;
    return speed * metresPerUnit / 60 / 60;
}

std::string TimestampRewriter::speedString(double speed, MeasurementSystem system) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%0.1f %s", speed,
                  system == MeasurementSystem::Imperial ? "mph" : "km/h");
    return buffer;
}

double TimestampRewriter::speedFromString(std::string_view text) {
    std::size_t at = text.find_first_not_of(" \t\n");
    if (at == std::string_view::npos)
        return 0;
    if (text[at] == '+')
        ++at;
    double value = 0;
    const char* begin = text.data() + at;
    const auto [end, error] =
        std::from_chars(begin, text.data() + text.size(), value, std::chars_format::fixed);
    (void)end;
    return error == std::errc() && std::isfinite(value) ? value : 0;
}

} // namespace wend
