#include "core/profile/ProfileAxisTicks.h"
#include "core/profile/ProfileDecimator.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace wend {
namespace {

// Inside the chart every point counts; outside only the nearest one on each side. A line
// breaks before a column when a missing value comes between it and the last value drawn.
TEST(ProfileDecimator, KeepsEveryColumnsExtremesAndBreaksAtMissingValues) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<double> positions = {0, 5, 12, 15, 18, 25, 27, 33, 36, 45, 50};
    const std::vector<float> values = {1, 2, 30, nan, 40, 7, nan, -4, 6, 8, 9};
    const ValueRangeIndex index(values);
    const auto columns = ProfileDecimator::decimate(positions, values, index, 10, 10, 3);
    struct Expected {
        int column;
        float minimum, maximum;
        bool joinsPrevious;
    };
    const Expected expected[] = {
        {-1, 2, 2, false}, {0, 30, 40, true}, {1, 7, 7, true}, {2, -4, 6, false}, {3, 8, 8, true},
    };
    ASSERT_EQ(columns.size(), std::size(expected));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        SCOPED_TRACE(expected[i].column);
        EXPECT_EQ(columns[i].column, expected[i].column);
        EXPECT_EQ(columns[i].minimum, expected[i].minimum);
        EXPECT_EQ(columns[i].maximum, expected[i].maximum);
        EXPECT_EQ(columns[i].joinsPrevious, expected[i].joinsPrevious);
    }

    // Thousands of points in one column keep its extremes, wherever they lie.
    std::vector<double> many(5000);
    std::vector<float> manyValues(5000);
    for (std::size_t i = 0; i < many.size(); ++i) {
        many[i] = static_cast<double>(i) / 1000;
        manyValues[i] = static_cast<float>((i * 7919) % 1000) - (i == 3333 ? 5000.0f : 0.0f);
    }
    const auto wide = ProfileDecimator::decimate(many, manyValues, ValueRangeIndex(manyValues), 0, 10, 1);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0].minimum, static_cast<float>((3333 * 7919) % 1000) - 5000);
    EXPECT_EQ(wide[0].maximum, 999);
}

TEST(ProfileAxisTicks, RoundStepsInsideTheRange) {
    struct Case {
        double minimum, maximum;
        int maxCount;
        double step, first;
        int count;
    };
    for (const Case& c : std::vector<Case>{{0, 1234, 7, 200, 0, 7},
                                           {1612, 1987, 5, 100, 1700, 3},
                                           {-3.2, 4.1, 10, 1, -3, 8},
                                           {0.04, 0.31, 4, 0.1, 0.1, 3},
                                           {500, 500, 5, 100, 500, 1}}) {
        SCOPED_TRACE(c.maximum);
        const auto ticks = ProfileAxisTicks::numberTicks(c.minimum, c.maximum, c.maxCount);
        EXPECT_DOUBLE_EQ(ticks.step, c.step);
        EXPECT_NEAR(ticks.first, c.first, 1e-9);
        EXPECT_EQ(ticks.count, c.count);
    }
    const auto hours = ProfileAxisTicks::durationTicks(0, 5 * 3600 + 100, 6);
    EXPECT_EQ(hours.step, 3600);
    EXPECT_EQ(ProfileAxisTicks::durationLabel(5400, hours.step), "1:30");
    EXPECT_EQ(ProfileAxisTicks::durationLabel(95, 30), "0:01:35");
}

} // namespace
} // namespace wend
