#include "core/profile/ProfileQuantity.h"

namespace wend {

std::string_view titleOfProfileQuantity(ProfileQuantity quantity) {
    switch (quantity) {
    case ProfileQuantity::Elevation:
        return "Elevation";
    case ProfileQuantity::Speed:
        return "Speed";
    case ProfileQuantity::HeartRate:
        return "Heart Rate";
    case ProfileQuantity::Cadence:
        return "Cadence";
    case ProfileQuantity::Temperature:
        return "Temperature";
    }
    return {};
}

std::string_view unitOfProfileQuantity(ProfileQuantity quantity, MeasurementSystem system) {
    const bool metric = system == MeasurementSystem::Metric;
    switch (quantity) {
    case ProfileQuantity::Elevation:
        return metric ? "m" : "ft";
    case ProfileQuantity::Speed:
        return metric ? "km/h" : "mph";
    case ProfileQuantity::HeartRate:
        return "bpm";
    case ProfileQuantity::Cadence:
        return "rpm";
    case ProfileQuantity::Temperature:
        return metric ? "°C" : "°F";
    }
    return {};
}

double displayValueOfProfileQuantity(ProfileQuantity quantity, double value,
                                     MeasurementSystem system) {
    const bool metric = system == MeasurementSystem::Metric;
    switch (quantity) {
    case ProfileQuantity::Elevation:
        return metric ? value : value * UnitFormatter::kFeetPerMetre;
    case ProfileQuantity::Speed:
        return metric ? value * 3.6 : value / UnitFormatter::kMetresPerMile * 3600;
    case ProfileQuantity::Temperature:
        return metric ? value : value * 9 / 5 + 32;
    case ProfileQuantity::HeartRate:
    case ProfileQuantity::Cadence:
        break;
    }
    return value;
}

} // namespace wend
