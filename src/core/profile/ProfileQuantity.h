#pragma once

#include "core/processing/UnitFormatter.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace wend {

// What the profile can draw along its horizontal axis. Elevation is always drawn; one of the
// others can be drawn beside it on a scale of its own. Stored values are in metres, metres per
// second, beats and revolutions per minute and degrees Celsius.
enum class ProfileQuantity { Elevation, Speed, HeartRate, Cadence, Temperature };

inline constexpr std::size_t kProfileQuantityCount = 5;
inline constexpr std::array<ProfileQuantity, kProfileQuantityCount> kProfileQuantities = {
    ProfileQuantity::Elevation, ProfileQuantity::Speed, ProfileQuantity::HeartRate,
    ProfileQuantity::Cadence, ProfileQuantity::Temperature};

// The two horizontal axes: distance along the items, or the time elapsed on them.
enum class ProfileAxis { Distance, Time };

// "Elevation", "Speed", "Heart Rate", "Cadence", "Temperature".
std::string_view titleOfProfileQuantity(ProfileQuantity quantity);
// "m", "ft", "km/h", "mph", "bpm", "rpm", "°C", "°F".
std::string_view unitOfProfileQuantity(ProfileQuantity quantity, MeasurementSystem system);
// A stored value in the unit above.
double displayValueOfProfileQuantity(ProfileQuantity quantity, double value,
                                     MeasurementSystem system);

} // namespace wend
