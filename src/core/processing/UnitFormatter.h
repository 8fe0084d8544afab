#pragma once

#include "core/model/Instant.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace wend {

enum class MeasurementSystem { Metric, Imperial };

// The stored preference: 0 is metric, any other value imperial.
MeasurementSystem measurementSystemFromPreference(std::int64_t value);

// Turns metres, metres per second, gradients, durations and dates into display text in one
// measurement system and one locale (decimal and grouping marks, month names). Every
// operation gives "Unknown" for NaN or an absent value. The locale-dependent formatters are
// built once per formatter and shared by its copies, so copies are cheap; like the ICU
// formatters behind them, they are meant for one thread.
class UnitFormatter {
public:
    static constexpr std::string_view kUnknown = "Unknown";
    static constexpr double kFeetPerMetre = 3.2808399;
    static constexpr double kFeetPerMile = 5280.0;
    static constexpr double kMetresPerMile = 1609.344;

    // An empty locale name takes the user's locale from the environment (LC_ALL, then
    // LC_NUMERIC for numbers and LC_TIME for dates, then LANG); names are POSIX ("de_DE.UTF-8")
    // or ICU ("de_DE") identifiers. An empty time zone takes the system's; otherwise an Olson
    // identifier such as "Europe/Berlin" or "UTC".
    explicit UnitFormatter(MeasurementSystem system = MeasurementSystem::Metric,
                           std::string_view localeName = {}, std::string_view timeZoneId = {});

    MeasurementSystem measurementSystem() const { return m_measurementSystem; }
    void setMeasurementSystem(MeasurementSystem system) { m_measurementSystem = system; }

    // Metric: metres below 999.95 m, kilometres from there. Imperial: feet up to 5280 ft,
    // miles above.
    std::string distanceStringForMetres(double metres) const;
    // Whole metres or whole feet: climbs and descents use it too, never km or miles.
    std::string elevationStringForMetres(double metres) const;
    std::string speedStringForMetresPerSec(double metresPerSecond) const;
    // A percentage without sign: descents read like climbs.
    static std::string gradientStringForGradient(double gradient);
    // The same with "+" for a climb and "\u2212" for a descent (none for 0%), where no label
    // says which of the two a figure is.
    static std::string signedGradientStringForGradient(double gradient);
    // "1h 2m 5s".
    static std::string timeIntervalStringForTimeInterval(double seconds);
    // "d MMM yyyy, hh:mm:ss a ZZZ", with ".SSS" after the seconds when the time is not on a
    // whole second.
    std::string timeStringForTime(const std::optional<Instant>& time) const;
    // The locale's decimal style, rounded to 0.01 or to whole numbers.
    std::string formattedDouble(double value) const;
    std::string formattedInt(double value) const;
    // The locale's decimal separator ("." or "," in most).
    const std::string& decimalSeparator() const;

private:
    struct Formatters;

    MeasurementSystem m_measurementSystem;
    std::shared_ptr<const Formatters> m_formatters;
};

} // namespace wend
