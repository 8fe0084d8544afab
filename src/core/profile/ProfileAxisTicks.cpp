#include "core/profile/ProfileAxisTicks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace wend {

namespace {
ProfileAxisTicks ticksWithStep(double minimum, double maximum, double step) {
    ProfileAxisTicks ticks;
    ticks.step = step;
    ticks.first = std::ceil(minimum / step - 1e-9) * step;
    const double count = std::floor((maximum - ticks.first) / step + 1e-9) + 1;
    ticks.count = std::isfinite(count) ? static_cast<int>(std::clamp(count, 0.0, 1e9)) : 0;
    return ticks;
}

// Puts the bounds in order; false when they give no ticks.
bool orderBounds(double& minimum, double& maximum, int maxCount) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || maxCount < 1)
        return false;
    if (maximum < minimum)
        std::swap(minimum, maximum);
    return true;
}
} // namespace

std::vector<double> ProfileAxisTicks::values() const {
    std::vector<double> result;
    for (int i = 0; i < count; ++i)
        result.push_back(valueAt(i));
    return result;
}

ProfileAxisTicks ProfileAxisTicks::numberTicks(double minimum, double maximum, int maxCount) {
    if (!orderBounds(minimum, maximum, maxCount))
        return {};
    const double span = maximum > minimum ? maximum - minimum : std::max(std::fabs(minimum), 1.0);
    // The smallest round step that keeps the count within bounds.
    double magnitude = std::pow(10.0, std::floor(std::log10(span / maxCount)));
    for (; std::isfinite(magnitude) && magnitude > 0; magnitude *= 10) {
        for (double factor : {1.0, 2.0, 5.0}) {
            const ProfileAxisTicks ticks = ticksWithStep(minimum, maximum, magnitude * factor);
            if (ticks.count <= maxCount)
                return ticks;
        }
    }
    return {};
}

ProfileAxisTicks ProfileAxisTicks::durationTicks(double minimum, double maximum, int maxCount) {
    if (!orderBounds(minimum, maximum, maxCount))
        return {};
    static constexpr std::array<double, 17> kSteps = {
        1,    2,    5,    10,    15,    30,    60,    120,   300,
        600,  900,  1800, 3600,  7200,  10800, 21600, 43200};
    for (double step : kSteps) {
        const ProfileAxisTicks ticks = ticksWithStep(minimum, maximum, step);
        if (ticks.count <= maxCount)
            return ticks;
    }
    // Whole days, in steps of 1, 2 or 5 times a power of ten.
    const ProfileAxisTicks days = numberTicks(minimum / 86400, maximum / 86400, maxCount);
    return ticksWithStep(minimum, maximum, std::max(days.step, 1.0) * 86400);
}

std::string ProfileAxisTicks::durationLabel(double seconds, double step) {
    const long long total = std::llround(std::max(seconds, 0.0));
    const long long hours = total / 3600;
    const long long minutes = total / 60 % 60;
    char text[48];
    if (step >= 60)
        std::snprintf(text, sizeof text, "%lld:%02lld", hours, minutes);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", hours, minutes, total % 60);
    return text;
}

} // namespace wend
