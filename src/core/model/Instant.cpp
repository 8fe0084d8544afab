#include "core/model/Instant.h"

#include <chrono>
#include <cmath>
#include <limits>

namespace wend {

namespace {
std::int64_t clampToMicroseconds(double microseconds) {
    // Keeps absurd inputs (far beyond any calendar) from overflowing the integer.
    constexpr double limit = 9.0e18;
    if (std::isnan(microseconds))
        return 0;
    if (microseconds > limit)
        return static_cast<std::int64_t>(limit);
    if (microseconds < -limit)
        return static_cast<std::int64_t>(-limit);
    return static_cast<std::int64_t>(std::llround(microseconds));
}
} // namespace

Instant Instant::fromSecondsSince1970(double seconds) {
    return fromMicroseconds(clampToMicroseconds(seconds * 1e6));
}

Instant Instant::now() {
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return fromMicroseconds(std::chrono::duration_cast<std::chrono::microseconds>(since).count());
}

Instant Instant::addingSeconds(double seconds) const {
    return fromMicroseconds(
        clampToMicroseconds(static_cast<double>(m_microseconds) + seconds * 1e6));
}

} // namespace wend
