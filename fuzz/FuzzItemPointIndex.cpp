// The map tools' point index against the linear scans it stands in for: on arbitrary walks
// (crossing themselves, revisiting spots, points without a position, up to thousands of points
// over many chunks) and queries, every answer and distance must be exactly the scan's.

#include "core/mapview/ItemPointIndex.h"
#include "core/processing/TrackGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace wend;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_item_point_index: %s differs from the linear scan\n", what);
    std::abort();
}

// A step of -0.0008 to +0.0007 degrees; byte 0xFF marks a point without a position.
double stepOf(std::uint8_t byte) { return ((byte & 0x0F) - 8) * 0.0001; }

std::vector<IndexRange> runsByScan(const PointList& points, const WorldRect& rect) {
    std::vector<IndexRange> runs;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double x = points[i]->longitude(), y = points[i]->latitude();
        if (!(x >= rect.x && x < rect.x + rect.width && y >= rect.y && y < rect.y + rect.height))
            continue;
        if (!runs.empty() && runs.back().end() + 1 == i)
            ++runs.back().length;
        else
            runs.push_back({i, 0});
    }
    return runs;
}

} // namespace

// The first half of the input walks (one byte per point, the high nibble repeats it to make
// longer tracks), the second half asks (two bytes per query).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t walkBytes = size / 2;
    PointList points;
    double lon = 8, lat = 47;
    for (std::size_t i = 0; i < walkBytes; ++i) {
        const int repeats = 1 + (data[i] >> 4);
        for (int r = 0; r < repeats; ++r) {
            const bool noPosition = data[i] == 0xFF && r == 0;
            lon += stepOf(data[i]);
            lat += stepOf(static_cast<std::uint8_t>(data[i] * 7 + r));
            points.push_back(GPSPoint::pointWithLongitude(noPosition ? GPSPoint::NaN : lon,
                                                          noPosition ? GPSPoint::NaN : lat,
                                                          GPSPoint::NaN, std::nullopt));
        }
    }
    auto item = GPSItem::item();
    item->setItemPoints(points);
    const ItemPointIndex index(item->itemPoints());

    for (std::size_t q = walkBytes; q + 1 < size; q += 2) {
        const double qLon = 8 + (data[q] - 128) * 0.0002, qLat = 47 + (data[q + 1] - 128) * 0.0002;
        if (index.closestPoint(qLon, qLat) !=
            TrackGeometry::indexOfClosestPointToPoint(*item, qLon, qLat))
            fail("closest point");
        double distance = 0, expectedDistance = 0;
        if (index.closestLineSegment(qLon, qLat, &distance) !=
            TrackGeometry::closestLineSegmentToPoint(*item, qLon, qLat, &expectedDistance))
            fail("closest segment");
        if (!std::isnan(expectedDistance) && distance != expectedDistance)
            fail("closest segment distance");
        const WorldRect rect{std::min(qLon, lon), std::min(qLat, lat), std::fabs(qLon - lon),
                             std::fabs(qLat - lat)};
        if (index.runsInside(rect) != runsByScan(item->itemPoints(), rect))
            fail("runs inside a rectangle");
    }
    return 0;
}
