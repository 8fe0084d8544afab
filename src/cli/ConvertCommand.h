#pragma once

#include <string>
#include <vector>

namespace wend::cli {

// wend-cli convert IN.gpx OUT.gpx [--file-order]: reads and writes back as GPX 1.1.
int runConvert(const std::vector<std::string>& arguments);

} // namespace wend::cli
