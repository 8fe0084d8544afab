#include "BenchData.h"

#include "core/formats/GPXParser.h"

#include <cstdlib>
#include <ctime>
#include <map>

namespace wend::bench {

std::string dataPath(const std::string& name) {
    const char* overridden = std::getenv("WEND_BENCH_DATA");
    return std::string(overridden && *overridden ? overridden : WEND_BENCH_DATA_DIR) + "/" + name;
}

std::shared_ptr<GPSDocument> cachedDocument(const std::string& name) {
    static std::map<std::string, std::shared_ptr<GPSDocument>> documents;
    auto it = documents.find(name);
    if (it == documents.end())
        it = documents.emplace(name, GPXParser::parseFile(dataPath(name)).document).first;
    return it->second;
}

GPSItemPtr trackInMemory(std::size_t pointCount) {
    PointList points;
    points.reserve(pointCount);
    const auto start = Instant::fromMicroseconds(1'577'872'800'000'000);
    for (std::size_t i = 0; i < pointCount; ++i) {
        const double d = static_cast<double>(i);
        points.push_back(GPSPoint::pointWithLongitude(8.0 + d * 1e-5, 47.0 + d * 1e-6,
                                                      400.0 + static_cast<double>(i % 100),
                                                      start.addingSeconds(d)));
    }
    auto track = GPSItem::item();
    track->setItemName("Million");
    track->setItemPoints(std::move(points));
    return track;
}

double threadCPUSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace wend::bench
