#include "core/profile/ProfileReadout.h"

#include "core/processing/UnitFormatter.h"

#include <cmath>

namespace wend {

namespace {
std::string withUnit(std::string number, std::string_view unit) {
    return number + " " + std::string(unit);
}
} // namespace

ProfileReadout ProfileReadout::readoutForPoint(const ProfileEntry& entry, std::size_t index,
                                               const TrackPointExtensionReader& reader,
                                               const UnitFormatter& formatter) {
    ProfileReadout readout;
    const ItemProfileSeries& series = *entry.series;
    if (index >= series.pointCount())
        return readout;
    readout.title = entry.item->itemName();
    const GPSPoint& point = *series.points()[index];
    const MeasurementSystem system = formatter.measurementSystem();
    const auto add = [&readout](std::string_view label, std::string value) {
        readout.rows.push_back({std::string(label), std::move(value)});
    };
    const auto addValue = [&](std::string_view label, ProfileQuantity quantity, double value) {
        if (std::isnan(value))
            return;
        const double shown = displayValueOfProfileQuantity(quantity, value, system);
        add(label, withUnit(quantity == ProfileQuantity::Temperature ? formatter.formattedDouble(shown)
                                                                      : formatter.formattedInt(shown),
                            unitOfProfileQuantity(quantity, system)));
    };

    add("Distance", formatter.distanceStringForMetres(series.distances()[index]));
    if (point.time()) {
        add("Time", formatter.timeStringForTime(point.time()));
        add("Elapsed Time",
            UnitFormatter::timeIntervalStringForTimeInterval(series.elapsed()[index]));
    }
    if (!std::isnan(point.elevation()))
        add("Elevation", formatter.elevationStringForMetres(point.elevation()));
    if (series.hasValues(ProfileQuantity::Speed) &&
        !std::isnan(series.values(ProfileQuantity::Speed)[index]))
        add("Speed", formatter.speedStringForMetresPerSec(series.values(ProfileQuantity::Speed)[index]));
    if (index > 0) {
        double gradient = std::nan("");
        point.distanceFromPoint(series.points()[index - 1].get(), nullptr, &gradient);
        if (std::isfinite(gradient)) {
            std::string text = UnitFormatter::gradientStringForGradient(gradient);
            if (text != "0%")
                text = (gradient < 0 ? "\u2212" : "+") + text;
            add("Gradient", text);
        }
    }

    const TrackPointExtensionValues extension = reader.read(point.XMLElements());
    addValue("Heart Rate", ProfileQuantity::HeartRate, extension.heartRate);
    addValue("Cadence", ProfileQuantity::Cadence, extension.cadence);
    addValue("Temperature", ProfileQuantity::Temperature, extension.airTemperature);
    addValue("Water Temperature", ProfileQuantity::Temperature, extension.waterTemperature);
    if (!std::isnan(extension.speed))
        add("Device Speed", formatter.speedStringForMetresPerSec(extension.speed));
    if (!std::isnan(extension.course))
        add("Course", formatter.formattedInt(extension.course) + "\u00b0");
    return readout;
}

} // namespace wend
