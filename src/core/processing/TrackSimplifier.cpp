#include "core/processing/TrackSimplifier.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace wend {

namespace {
constexpr double kPi = 3.141592653589793;

// Whether b lies on a straight enough continuation from a to c. The turning angle is
// reduced into 0...pi so that a course along the ±pi seam of atan2 counts as straight.
bool isRemovable(const GPSPoint& a, const GPSPoint& b, const GPSPoint& c, double threshold) {
    const double theta1 = std::atan2(a.latitude() - b.latitude(), a.longitude() - b.longitude());
    const double theta2 = std::atan2(b.latitude() - c.latitude(), b.longitude() - c.longitude());
    double turn = std::fabs(theta1 - theta2);
    if (turn > kPi)
        turn = 2 * kPi - turn;
    return threshold > turn;
}
} // namespace

std::uint64_t TrackSimplifier::optimizeWithStrength(GPSItem& item, double strength,
                                                    IndexRange range) {
    if (range.isNotFound())
        return 0;
    const PointList& points = item.itemPoints();
    const std::uint64_t count = points.size();
    const std::uint64_t start = std::min<std::uint64_t>(range.location, count);
    const std::uint64_t n = std::min<std::uint64_t>(range.length, count - start);
    if (n < 3)
        return 0; // a triple is needed before anything can go
    const double threshold = strength * kPi / 4;
    const std::uint64_t last = start + n; // one past the stretch

    // A single pass: `kept` ends with the triple's first two points (a, b) and `k` points at
    // its third (c). Removing b steps back one triple, but never to the stretch's first one:
    // after such a removal the scan moves on with c and the point after it as a and b.
    PointList kept(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(start + 2));
    std::uint64_t removed = 0;
    std::uint64_t k = start + 2;
    while (k < last) {
        const GPSPointPtr& c = points[k];
        const std::size_t depth = kept.size() - start; // 2 at the stretch's first triple
        if (!isRemovable(*kept[kept.size() - 2], *kept.back(), *c, threshold)) {
            kept.push_back(c);
            ++k;
            continue;
        }
        kept.pop_back();
        ++removed;
        if (depth == 2) {
            kept.push_back(c);
            ++k;
            if (k < last)
                kept.push_back(points[k++]);
        } else if (depth == 3) {
            kept.push_back(c);
            ++k;
        }
    }
    if (removed == 0)
        return 0;
    kept.insert(kept.end(), points.begin() + static_cast<std::ptrdiff_t>(k), points.end());
    item.setItemPoints(std::move(kept));
    return removed;
}

std::uint64_t TrackSimplifier::optimizeWithStrength(GPSItem& item, double strength) {
    return optimizeWithStrength(item, strength, item.pointIndexRange());
}

ItemList TrackSimplifier::mutatedItems(const ItemList& originalItems, double strength) {
    if (!(strength >= kMinimumStrength))
        return originalItems;
    ItemList result;
    result.reserve(originalItems.size());
    for (const auto& original : originalItems) {
        auto copy = original->copy();
        // Read before simplifying: shortening the point list also clips the selection.
        const std::vector<IndexRange> ranges = copy->itemSelection().ranges();
        std::vector<IndexRange> shrunk;
        shrunk.reserve(ranges.size());
        std::uint64_t removed = 0;
        for (const IndexRange& r : ranges) {
            IndexRange shifted = r;
            if (!r.isNotFound())
                shifted.location -= removed;
            const std::uint64_t k = optimizeWithStrength(*copy, strength, shifted);
            shrunk.push_back(IndexRange{shifted.location, r.length - k});
            removed += k;
        }
        if (removed > 0)
            copy->setItemSelection(
                copy->itemSelection().selectionByDeselectingAll().selectionBySelectingRanges(
                    shrunk));
        result.push_back(std::move(copy));
    }
    return result;
}

std::uint64_t TrackSimplifier::numPointsInItems(const ItemList& items) {
    std::uint64_t total = 0;
    for (const auto& item : items)
        total += item->itemSelection().length();
    return total;
}

std::string TrackSimplifier::optimizationStrengthString(double strength) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Optimization Strength: %0.2f", strength);
    return buffer;
}

std::string TrackSimplifier::pointsRemovedString(std::uint64_t pointsBefore,
                                                 std::uint64_t pointsAfter) {
    const std::uint64_t removed = pointsBefore > pointsAfter ? pointsBefore - pointsAfter : 0;
    const double percent = static_cast<double>(removed) /
                           static_cast<double>(pointsBefore == 0 ? 1 : pointsBefore) * 100.0;
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%llu (%0.0f%%) points removed",
                  static_cast<unsigned long long>(removed), percent);
    return buffer;
}

} // namespace wend
