#include "core/processing/StatisticAccumulator.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using wend::StatisticAccumulator;

namespace {

StatisticAccumulator accumulatorWith(const std::vector<double>& raw) {
    auto a = StatisticAccumulator::accumulator();
    for (double x : raw)
        a.addSample(x);
    return a;
}

} // namespace

TEST(StatisticAccumulator, StoredSamplesAreMeansOfTheLastTenRawSamples) {
    auto a = accumulatorWith({10, 20, 30});
    EXPECT_EQ(a.allSamples(), (std::vector<double>{10, 15, 20}));
    for (bool discard : {false, true}) {
        EXPECT_DOUBLE_EQ(a.calculateMeanDiscardingOutliers(discard), 15);
        EXPECT_EQ(a.calculateMinDiscardingOutliers(discard), 10);
        EXPECT_EQ(a.calculateMaxDiscardingOutliers(discard), 20);
    }

    auto b = accumulatorWith({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    EXPECT_EQ(b.allSamples(),
              (std::vector<double>{1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5, 5.5, 6.5, 7.5}));
    EXPECT_EQ(b.currentAveragedSample(), 7.5);
}

TEST(StatisticAccumulator, OutliersAreJudgedOnSmoothedSamples) {
    // The spike is smoothed to 10 before the test and then lies within three deviations.
    auto a = accumulatorWith({0, 0, 0, 0, 0, 0, 0, 0, 0, 100});
    EXPECT_EQ(a.allSamples().back(), 10.0);
    EXPECT_EQ(a.calculateMaxDiscardingOutliers(true), 10.0);
    EXPECT_DOUBLE_EQ(a.calculateMeanDiscardingOutliers(true), 1.0);
    // In a long series the ten smoothed samples the spike touches are dropped together.
    std::vector<double> raw(100, 0.0);
    raw.push_back(1000.0);
    raw.insert(raw.end(), 100, 0.0);
    auto b = accumulatorWith(raw);
    EXPECT_EQ(b.calculateMaxDiscardingOutliers(false), 100.0);
    EXPECT_EQ(b.calculateMaxDiscardingOutliers(true), 0.0);
    EXPECT_GT(b.calculateMeanDiscardingOutliers(false), 4.0);
    EXPECT_EQ(b.samplesSansOutliers(b.trueMean()).size(), 191u);
}

TEST(StatisticAccumulator, SampleExactlyThreeDeviationsAwayIsRetained) {
    // Stored 0 ×9 and 3: about mean 0 the deviation is exactly 1.
    auto a = accumulatorWith({0, 0, 0, 0, 0, 0, 0, 0, 0, 30});
    EXPECT_EQ(a.standardDeviationWithMean(0.0), 1.0);
    EXPECT_EQ(a.samplesSansOutliers(0.0).size(), 10u);
    // Stored 0 ×10 and 3: the deviation about 0 shrinks to sqrt(0.9), so 3 is beyond it.
    auto b = accumulatorWith({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 30});
    EXPECT_EQ(b.allSamples().back(), 3.0);
    EXPECT_EQ(b.samplesSansOutliers(0.0), std::vector<double>(10, 0.0));
}
