#include "BenchData.h"

#include "core/formats/GPXParser.h"

#include <cstdlib>
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

} // namespace wend::bench
