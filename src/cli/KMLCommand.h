#pragma once

#include <string>
#include <vector>

namespace wend::cli {

// wend-cli kml IN.gpx OUT.kml [--google-maps]: exports the document as KML 2.2.
int runKML(const std::vector<std::string>& arguments);

} // namespace wend::cli
