#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace wend {

// Collects the samples of one quantity (elevations, speeds, gradients) and answers mean,
// minimum and maximum, optionally without outliers. Every stored sample is smoothed: the mean
// of the last ten raw samples (fewer at the start), so single-segment spikes are damped
// before any statistic sees them.
class StatisticAccumulator {
public:
    static constexpr std::size_t kAveragingWindow = 10;
    static constexpr std::size_t kDefaultCapacity = 128;
    // A sample further than this many standard deviations from the mean is an outlier.
    static constexpr double kOutlierDeviations = 3.0;

    // Empty, with no sample buffer yet.
    StatisticAccumulator() = default;
    explicit StatisticAccumulator(std::size_t capacity);
    // An accumulator with the default capacity.
    static StatisticAccumulator accumulator() { return StatisticAccumulator(kDefaultCapacity); }

    // NaN samples are dropped without touching the smoothing window.
    void addSample(double sample);
    // The mean of the raw samples now in the smoothing window; NaN before the first sample.
    double currentAveragedSample() const;
    // Declares the series unusable: every calculate… answer is NaN from now on.
    void invalidate() { m_valid = false; }
    bool valid() const { return m_valid; }

    std::uint64_t sampleCount() const { return m_samples.size(); }
    // The capacity of the sample buffer, which grows from n to 2n + 1 when full.
    std::uint64_t sampleBufferLen() const { return m_samples.capacity(); }

    // The mean of the stored samples; 0 when there are none.
    double trueMean() const;
    // The sample standard deviation (n - 1 in the denominator) about the given mean; 0 for
    // fewer than two samples.
    double standardDeviationWithMean(double mean) const;
    const std::vector<double>& allSamples() const { return m_samples; }
    // The stored samples within three standard deviations of the mean, in insertion order.
    std::vector<double> samplesSansOutliers(double mean) const;

    // NaN when invalidated, when empty, or when no candidate sample is left.
    double calculateMeanDiscardingOutliers(bool discard) const;
    double calculateMinDiscardingOutliers(bool discard) const;
    double calculateMaxDiscardingOutliers(bool discard) const;

private:
    // The mean and the outlier limit are needed by every calculate… answer: computed once
    // after the last added sample.
    void computeOutlierBounds() const;
    template <typename F> void forEachRetainedSample(double mean, double limit, F&& f) const;
    double calculateExtremeDiscardingOutliers(bool discard, bool maximum) const;

    std::vector<double> m_samples;
    std::array<double, kAveragingWindow> m_averagingSamples{};
    std::size_t m_averagingOffset = 0;
    // Raw samples seen so far, capped at the window width.
    std::size_t m_averagingCount = 0;
    bool m_valid = true;
    mutable bool m_outlierBoundsValid = false;
    mutable double m_boundsMean = 0.0;
    mutable double m_boundsLimit = 0.0;
};

} // namespace wend
