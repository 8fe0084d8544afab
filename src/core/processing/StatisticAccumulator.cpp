#include "core/processing/StatisticAccumulator.h"

#include <cmath>
#include <limits>

namespace wend {

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
}

StatisticAccumulator::StatisticAccumulator(std::size_t capacity) {
    if (capacity != 0)
        m_samples.reserve(capacity);
}

void StatisticAccumulator::addSample(double sample) {
    if (std::isnan(sample))
        return;
    m_averagingSamples[m_averagingOffset] = sample;
    if (++m_averagingOffset == kAveragingWindow)
        m_averagingOffset = 0;
    if (m_averagingCount < kAveragingWindow)
        ++m_averagingCount;
    m_outlierBoundsValid = false;
    // Grown by hand so the buffer follows 0, 1, 3, 7, ... whatever the library's policy is.
    if (m_samples.size() == m_samples.capacity())
        m_samples.reserve(2 * m_samples.size() + 1);
    m_samples.push_back(currentAveragedSample());
}

double StatisticAccumulator::currentAveragedSample() const {
    double sum = 0.0;
    if (m_averagingCount == kAveragingWindow) {
        // The same sum as below with a fixed trip count that the compiler unrolls.
        for (double s : m_averagingSamples)
            sum += s;
        return sum / static_cast<double>(kAveragingWindow);
    }
    for (std::size_t i = 0; i < m_averagingCount; ++i)
        sum += m_averagingSamples[i];
    return sum / static_cast<double>(m_averagingCount);
}

double StatisticAccumulator::trueMean() const {
    if (m_samples.empty())
        return 0.0;
    long double sum = 0.0L;
    for (double s : m_samples)
        sum += s;
    return static_cast<double>(sum / static_cast<long double>(m_samples.size()));
}

double StatisticAccumulator::standardDeviationWithMean(double mean) const {
    if (m_samples.size() < 2)
        return 0.0;
    long double sum = 0.0L;
    for (double s : m_samples) {
        const long double difference = s - mean;
        sum += difference * difference;
    }
    return static_cast<double>(std::sqrt(sum / static_cast<long double>(m_samples.size() - 1)));
}

void StatisticAccumulator::computeOutlierBounds() const {
    if (m_outlierBoundsValid)
        return;
    m_boundsMean = trueMean();
    m_boundsLimit = kOutlierDeviations * standardDeviationWithMean(m_boundsMean);
    m_outlierBoundsValid = true;
}

template <typename F>
void StatisticAccumulator::forEachRetainedSample(double mean, double limit, F&& f) const {
    for (double s : m_samples) {
        if (std::fabs(s - mean) <= limit)
            f(s);
    }
}

std::vector<double> StatisticAccumulator::samplesSansOutliers(double mean) const {
    std::vector<double> retained;
    const double limit = kOutlierDeviations * standardDeviationWithMean(mean);
    forEachRetainedSample(mean, limit, [&](double s) { retained.push_back(s); });
    return retained;
}

double StatisticAccumulator::calculateMeanDiscardingOutliers(bool discard) const {
    if (!m_valid || m_samples.empty())
        return kNaN;
    computeOutlierBounds();
    if (!discard)
        return m_boundsMean;
    long double sum = 0.0L;
    std::size_t count = 0;
    forEachRetainedSample(m_boundsMean, m_boundsLimit, [&](double s) {
        sum += s;
        ++count;
    });
    if (count == 0)
        return kNaN;
    return static_cast<double>(sum / static_cast<long double>(count));
}

double StatisticAccumulator::calculateExtremeDiscardingOutliers(bool discard, bool maximum) const {
    if (!m_valid || m_samples.empty())
        return kNaN;
    double result = kNaN;
    auto take = [&](double s) {
        if (std::isnan(result) || (maximum ? s > result : s < result))
            result = s;
    };
    if (discard) {
        computeOutlierBounds();
        forEachRetainedSample(m_boundsMean, m_boundsLimit, take);
    } else {
        for (double s : m_samples)
            take(s);
    }
    return result;
}

double StatisticAccumulator::calculateMinDiscardingOutliers(bool discard) const {
    return calculateExtremeDiscardingOutliers(discard, false);
}

double StatisticAccumulator::calculateMaxDiscardingOutliers(bool discard) const {
    return calculateExtremeDiscardingOutliers(discard, true);
}

} // namespace wend
