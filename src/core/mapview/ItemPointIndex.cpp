#include "core/mapview/ItemPointIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace wend {

namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Rounding in the segment distance may put a computed distance a hair below the distance to
// a box that holds the segment; chunks are skipped only beyond this margin.
constexpr double kBoundSlack = 1e-9;
} // namespace

ItemPointIndex::ItemPointIndex(const PointList& points) {
    m_positions.reserve(points.size());
    for (const auto& point : points)
        m_positions.push_back({point->longitude(), point->latitude()});

    const std::size_t n = m_positions.size();
    const std::size_t chunks = (n + kChunkPoints - 1) / kChunkPoints;
    auto boxOf = [this](std::size_t first, std::size_t last) {
        Box box{kInfinity, kInfinity, -kInfinity, -kInfinity, false};
        for (std::size_t i = first; i <= last; ++i) {
            const WorldPoint p = m_positions[i];
            if (std::isnan(p.lon) || std::isnan(p.lat)) {
                box.unbounded = true;
                continue;
            }
            box.minLon = std::min(box.minLon, p.lon);
            box.maxLon = std::max(box.maxLon, p.lon);
            box.minLat = std::min(box.minLat, p.lat);
            box.maxLat = std::max(box.maxLat, p.lat);
        }
        return box;
    };
    m_pointBoxes.reserve(chunks);
    m_segmentBoxes.reserve(chunks);
    for (std::size_t k = 0; k < chunks; ++k) {
        const std::size_t first = k * kChunkPoints;
        const std::size_t last = std::min(n - 1, first + kChunkPoints - 1);
        m_pointBoxes.push_back(boxOf(first, last));
        m_segmentBoxes.push_back(boxOf(first, std::min(n - 1, last + 1)));
    }
}

double ItemPointIndex::squaredDistanceToBox(const Box& box, double lon, double lat) {
    if (box.unbounded)
        return 0;
    const double dx = std::max({box.minLon - lon, 0.0, lon - box.maxLon});
    const double dy = std::max({box.minLat - lat, 0.0, lat - box.maxLat});
    return dx * dx + dy * dy;
}

double ItemPointIndex::pointSquaredDistance(std::size_t i, double lon, double lat) const {
    const double dx = lon - m_positions[i].lon;
    const double dy = lat - m_positions[i].lat;
    return dx * dx + dy * dy;
}

// The same arithmetic as TrackGeometry::closestLineSegmentToPoint, so the answers agree.
double ItemPointIndex::segmentDistance(std::size_t i, double lon, double lat) const {
    const double ax = m_positions[i].lon, ay = m_positions[i].lat;
    const double bx = m_positions[i + 1].lon, by = m_positions[i + 1].lat;
    const double abx = bx - ax, aby = by - ay;
    if (abx * (lon - bx) + aby * (lat - by) > 0)
        return std::hypot(lon - bx, lat - by);
    if (-abx * (lon - ax) - aby * (lat - ay) > 0)
        return std::hypot(lon - ax, lat - ay);
    if (abx == 0 && aby == 0)
        return std::hypot(lon - ax, lat - ay);
    return std::fabs((ay - lat) * abx - (ax - lon) * aby) / std::sqrt(abx * abx + aby * aby);
}

template <typename Measure, typename BoxBound>
std::uint64_t ItemPointIndex::nearestByLinearRule(const std::vector<Box>& boxes, std::size_t count,
                                                  Measure measure, BoxBound boxBound,
                                                  double& best) const {
    // A first answer from the chunk nearest by its box bounds what the others must beat.
    std::size_t nearestChunk = 0;
    double nearestChunkBound = kInfinity;
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        const double bound = boxBound(boxes[k]);
        if (bound < nearestChunkBound) {
            nearestChunkBound = bound;
            nearestChunk = k;
        }
    }
    double bound = kInfinity;
    for (std::size_t i = nearestChunk * kChunkPoints; i < std::min(count, (nearestChunk + 1) * kChunkPoints); ++i)
        bound = std::min(bound, measure(i)); // a distance that is not a number is passed over
    const double limit = bound * (1 + kBoundSlack);
    // The scan in index order with the linear rule: the first element reached is kept until a
    // later one is strictly nearer (one without a distance is replaced by any).
    best = std::numeric_limits<double>::quiet_NaN();
    std::uint64_t bestIndex = NotFound;
    for (std::size_t k = 0; k < boxes.size() && k * kChunkPoints < count; ++k) {
        if (!std::isnan(best) && boxBound(boxes[k]) > limit)
            continue;
        for (std::size_t i = k * kChunkPoints; i < std::min(count, (k + 1) * kChunkPoints); ++i) {
            const double d = measure(i);
            if (std::isnan(best) || best > d) {
                best = d;
                bestIndex = i;
            }
        }
    }
    return bestIndex;
}

std::uint64_t ItemPointIndex::closestPoint(double lon, double lat, double* distance) const {
    double best = 0;
    const std::uint64_t index = nearestByLinearRule(
        m_pointBoxes, m_positions.size(), [&](std::size_t i) { return pointSquaredDistance(i, lon, lat); },
        [&](const Box& box) { return squaredDistanceToBox(box, lon, lat); }, best);
    if (distance)
        *distance = std::sqrt(best);
    return index;
}

std::uint64_t ItemPointIndex::closestLineSegment(double lon, double lat, double* distance) const {
    const std::size_t n = m_positions.size();
    double best = std::numeric_limits<double>::quiet_NaN();
    const std::uint64_t index =
        n < 2 ? NotFound
              : nearestByLinearRule(
                    m_segmentBoxes, n - 1, [&](std::size_t i) { return segmentDistance(i, lon, lat); },
                    [&](const Box& box) { return std::sqrt(squaredDistanceToBox(box, lon, lat)); }, best);
    if (distance)
        *distance = best;
    return index;
}

std::vector<IndexRange> ItemPointIndex::runsInside(const WorldRect& rect) const {
    const double left = rect.x, right = rect.x + rect.width;
    const double bottom = rect.y, top = rect.y + rect.height;
    std::vector<IndexRange> runs;
    const std::size_t n = m_positions.size();
    std::size_t runStart = 0;
    bool inRun = false;
    auto step = [&](std::size_t i, bool inside) {
        if (inside && !inRun) {
            runStart = i;
            inRun = true;
        } else if (!inside && inRun) {
            runs.push_back({runStart, i - 1 - runStart});
            inRun = false;
        }
    };
    for (std::size_t k = 0; k < m_pointBoxes.size(); ++k) {
        const Box& box = m_pointBoxes[k];
        const std::size_t first = k * kChunkPoints;
        const std::size_t end = std::min(n, first + kChunkPoints);
        if (!box.unbounded) {
            const bool allInside = box.minLon >= left && box.maxLon < right && box.minLat >= bottom &&
                                   box.maxLat < top;
            const bool allOutside = box.maxLon < left || box.minLon >= right || box.maxLat < bottom ||
                                    box.minLat >= top || box.minLon > box.maxLon;
            if (allInside || allOutside) {
                step(first, allInside);
                continue;
            }
        }
        for (std::size_t i = first; i < end; ++i) {
            const WorldPoint p = m_positions[i];
            step(i, p.lon >= left && p.lon < right && p.lat >= bottom && p.lat < top);
        }
    }
    step(n, false);
    return runs;
}

} // namespace wend
