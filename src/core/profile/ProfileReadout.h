#pragma once

#include "core/processing/StatisticsRows.h"
#include "core/profile/ProfileModel.h"

#include <string>
#include <vector>

namespace wend {

class UnitFormatter;

// What the profile's readout shows for the point under the pointer: the item's name, then one
// line per value the point has.
struct ProfileReadout {
    std::string title;
    std::vector<StatisticsRow> rows;

    // "Distance" (along the item), "Time", "Elapsed Time", "Elevation", "Speed", "Gradient"
    // (of the segment ending at the point, with its sign: descents read "−12%"), then the
    // track point extension's "Heart Rate", "Cadence", "Temperature", "Water Temperature",
    // "Device Speed" and "Course". Values the point does not have are left out.
    static ProfileReadout readoutForPoint(const ProfileEntry& entry, std::size_t index,
                                          const TrackPointExtensionReader& reader,
                                          const UnitFormatter& formatter);
};

} // namespace wend
