#pragma once

#include <string>
#include <vector>

namespace wend::cli {

// wend-cli info [--json] FILE...: what each file holds. Exit status 0 when every file was
// read, 1 when one needed repair, 2 when one could not be read.
int runInfo(const std::vector<std::string>& arguments);

} // namespace wend::cli
