#pragma once

#include <string>
#include <vector>

namespace wend::cli {

// wend-cli split-stops IN.gpx OUT.gpx [--min-time SECONDS] [--max-distance METRES]
// [--keep-stops]: splits every track at its rest stops.
int runSplitStops(const std::vector<std::string>& arguments);

} // namespace wend::cli
