#include "core/profile/ProfileAxisTicks.h"
#include "core/profile/ProfileDecimator.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <random>

namespace wend {
namespace {

// Compares the decimation of a noisy series (places repeated as at a stop, a run of missing
// values) with a direct count of every column's extremes.
TEST(ProfileDecimator, KeepsEveryColumnsExtremesAndBreaksAtMissingValues) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-5, 5);
    std::vector<double> positions;
    std::vector<float> values;
    double place = 0;
    for (int i = 0; i < 20000; ++i) {
        if (i % 50 != 0)
            place += 0.37 * (i % 4);
        positions.push_back(place);
        values.push_back((i >= 2000 && i < 2100) || i % 997 == 5 ? std::numeric_limits<float>::quiet_NaN()
                                               : 100 * std::sin(i / 300.0f) + noise(random));
    }
    // Columns of thousands of points down to a few.
    for (const auto& [start, columnCount] : std::vector<std::pair<double, int>>{
             {0.0, 3}, {0.0, 37}, {300.0, 200}, {1200.0, 5000}}) {
        SCOPED_TRACE(columnCount);
        const double width = (positions.back() - start) / columnCount * 0.8;
        const ValueRangeIndex index(values);
        const auto columns =
            ProfileDecimator::decimate(positions, values, index, start, width, columnCount);

        // Inside the chart every point counts; outside only the nearest one on each side. A
        // line breaks before a column when a missing value comes between it and the last
        // value drawn before it.
        std::map<int, std::pair<float, float>> expected;
        std::map<int, bool> joins;
        bool missing = true;
        int lastColumn = -2;
        for (std::size_t i = 0; i < positions.size(); ++i) {
            // The column whose bounds, computed as the chart computes them, hold the place.
            double c = std::floor((positions[i] - start) / width);
            while (start + (c + 1) * width <= positions[i])
                ++c;
            while (c > -1 && start + c * width > positions[i])
                --c;
            const bool nearestBefore = c < 0 && i + 1 < positions.size() && positions[i + 1] >= start;
            const bool nearestAfter = c >= columnCount && i > 0 && positions[i - 1] < start + width * columnCount;
            if ((c < 0 || c >= columnCount) && !nearestBefore && !nearestAfter)
                continue;
            if (std::isnan(values[i])) {
                missing = true;
                continue;
            }
            const int column = c < 0 ? -1 : c >= columnCount ? columnCount : static_cast<int>(c);
            if (column != lastColumn)
                joins[column] = !missing;
            missing = false;
            lastColumn = column;
            auto [it, added] = expected.try_emplace(column, values[i], values[i]);
            it->second.first = std::min(it->second.first, values[i]);
            it->second.second = std::max(it->second.second, values[i]);
        }
        ASSERT_EQ(columns.size(), expected.size());
        for (const ProfileColumn& column : columns) {
            SCOPED_TRACE(column.column);
            ASSERT_TRUE(expected.count(column.column));
            EXPECT_EQ(column.minimum, expected[column.column].first);
            EXPECT_EQ(column.maximum, expected[column.column].second);
            EXPECT_EQ(column.joinsPrevious, joins[column.column]);
        }
        EXPECT_TRUE(std::is_sorted(columns.begin(), columns.end(),
                                   [](const auto& a, const auto& b) { return a.column < b.column; }));
    }
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
