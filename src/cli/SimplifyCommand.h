#pragma once

#include <string>
#include <vector>

namespace wend::cli {

// wend-cli simplify IN.gpx OUT.gpx --strength S: simplifies every item whole and reports the
// points removed.
int runSimplify(const std::vector<std::string>& arguments);

} // namespace wend::cli
