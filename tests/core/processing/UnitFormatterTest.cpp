#include "core/processing/UnitFormatter.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

using namespace wend;

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// 2024-03-05T14:03:04Z
constexpr std::int64_t kWholeSecond = 1709647384000000LL;
} // namespace

TEST(UnitFormatter, MetricAndImperialDistancesSwitchUnitsAtTheirThresholds) {
    UnitFormatter metric(MeasurementSystem::Metric, "en_US", "UTC");
    EXPECT_EQ(metric.distanceStringForMetres(999.94), "999.94 m");
    EXPECT_EQ(metric.distanceStringForMetres(999.95), "1 km");
    EXPECT_EQ(metric.distanceStringForMetres(12345.678), "12.35 km");

    UnitFormatter imperial(MeasurementSystem::Imperial, "en_US", "UTC");
    EXPECT_EQ(imperial.distanceStringForMetres(1609), "5,278.87 ft");
    EXPECT_EQ(imperial.distanceStringForMetres(1610), "1 mi");
}

TEST(UnitFormatter, ElevationsSpeedsGradientsAndIntervals) {
    UnitFormatter metric(MeasurementSystem::Metric, "en_US", "UTC");
    UnitFormatter imperial(MeasurementSystem::Imperial, "en_US", "UTC");
    EXPECT_EQ(metric.elevationStringForMetres(1234.6), "1,235 m");
    EXPECT_EQ(metric.elevationStringForMetres(-12.2), "-12 m");
    EXPECT_EQ(imperial.elevationStringForMetres(100), "328 ft");
    EXPECT_EQ(metric.speedStringForMetresPerSec(10), "36 km/h");
    EXPECT_EQ(imperial.speedStringForMetresPerSec(10), "22.37 mph");
    EXPECT_EQ(UnitFormatter::gradientStringForGradient(-0.12), "12%");
    EXPECT_EQ(metric.formattedDouble(1234.5678), "1,234.57");

    for (const UnitFormatter* f : {&metric, &imperial})
        EXPECT_EQ(f->distanceStringForMetres(kNaN) + f->elevationStringForMetres(kNaN) +
                      f->speedStringForMetresPerSec(kNaN) + f->timeStringForTime(std::nullopt) +
                      f->formattedDouble(kNaN) + f->formattedInt(kNaN) +
                      UnitFormatter::gradientStringForGradient(kNaN),
                  "UnknownUnknownUnknownUnknownUnknownUnknownUnknown");
}

TEST(UnitFormatter, NumbersAndDatesFollowTheLocale) {
    UnitFormatter german(MeasurementSystem::Imperial, "de_DE", "Europe/Berlin");
    EXPECT_EQ(german.distanceStringForMetres(1609), "5.278,87 ft");
    EXPECT_EQ(german.speedStringForMetresPerSec(10), "22,37 mph");
    EXPECT_EQ(german.timeStringForTime(Instant::fromMicroseconds(kWholeSecond)),
              "5 März 2024, 03:03:04 PM +0100");
    // POSIX names as found in LANG work too.
    UnitFormatter posix(MeasurementSystem::Metric, "de_DE.UTF-8", "UTC");
    EXPECT_EQ(posix.formattedDouble(0.5), "0,5");
    // Without a name the environment decides, as for any POSIX program.
    const char* saved = std::getenv("LC_ALL");
    const std::string savedValue = saved ? saved : "";
    setenv("LC_ALL", "fr_FR.UTF-8", 1);
    const UnitFormatter user(MeasurementSystem::Metric, {}, "UTC");
    if (saved)
        setenv("LC_ALL", savedValue.c_str(), 1);
    else
        unsetenv("LC_ALL");
    EXPECT_EQ(user.formattedDouble(0.25), "0,25");
    EXPECT_EQ(user.timeStringForTime(Instant::fromMicroseconds(kWholeSecond)),
              "5 mars 2024, 02:03:04 PM +0000");

    UnitFormatter english(MeasurementSystem::Metric, "en_US", "UTC");
    // A few microseconds off a whole second still read as whole; a millisecond does not.
    EXPECT_EQ(english.timeStringForTime(Instant::fromMicroseconds(kWholeSecond + 50)),
              "5 Mar 2024, 02:03:04 PM +0000");
    EXPECT_EQ(english.timeStringForTime(Instant::fromMicroseconds(kWholeSecond - 1000)),
              "5 Mar 2024, 02:03:03.999 PM +0000");
    EXPECT_EQ(english.timeStringForTime(Instant::fromMicroseconds(-1500000)),
              "31 Dec 1969, 11:59:58.500 PM +0000");
}
