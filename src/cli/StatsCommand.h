#pragma once

#include <string>
#include <vector>

namespace wend::cli {

// wend-cli stats FILE [--imperial] [--keep-outliers] [--json]: the statistics pane's rows for
// each item and for all items together, or with --json the thirteen figures of each item.
int runStats(const std::vector<std::string>& arguments);

} // namespace wend::cli
