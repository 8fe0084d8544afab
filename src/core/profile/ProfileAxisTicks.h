#pragma once

#include <string>
#include <vector>

namespace wend {

// The ticks of one axis of the profile: round values from `first` in steps of `step`.
struct ProfileAxisTicks {
    double first = 0;
    double step = 1;
    int count = 0;

    double valueAt(int i) const { return first + step * i; }
    std::vector<double> values() const;

    // At most `maxCount` ticks inside [minimum, maximum], in steps of 1, 2 or 5 times a power
    // of ten. A range of no width gets a step of its own around its value.
    static ProfileAxisTicks numberTicks(double minimum, double maximum, int maxCount);
    // Ticks for seconds in steps a clock reads well: seconds, minutes, hours, days.
    static ProfileAxisTicks durationTicks(double minimum, double maximum, int maxCount);
    // "1:05" (hours and minutes) for steps of a minute or more, "1:05:30" below.
    static std::string durationLabel(double seconds, double step);
};

} // namespace wend
