#pragma once

#include <compare>
#include <cstdint>

namespace wend {

// An absolute point in time: whole microseconds since 1970-01-01T00:00:00Z.
class Instant {
public:
    constexpr Instant() = default;

    static constexpr Instant fromMicroseconds(std::int64_t microseconds) {
        Instant t;
        t.m_microseconds = microseconds;
        return t;
    }
    // Rounds to the nearest microsecond.
    static Instant fromSecondsSince1970(double seconds);
    static Instant now();

    constexpr std::int64_t microsecondsSince1970() const { return m_microseconds; }
    double secondsSince1970() const { return static_cast<double>(m_microseconds) / 1e6; }
    // This instant minus the other, in seconds.
    double secondsSince(Instant other) const {
        // Subtracting in floating point cannot overflow, however far apart the two are.
        const double difference =
            static_cast<double>(m_microseconds) - static_cast<double>(other.m_microseconds);
        return difference / 1e6;
    }
    Instant addingSeconds(double seconds) const;

    constexpr auto operator<=>(const Instant&) const = default;

private:
    std::int64_t m_microseconds = 0;
};

} // namespace wend
