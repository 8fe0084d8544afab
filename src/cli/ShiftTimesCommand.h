#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wend::cli {

// wend-cli shift-times IN.gpx OUT.gpx --by [-]H:MM:SS[.mmm]: moves every point's time.
int runShiftTimes(const std::vector<std::string>& arguments);

// "[-]H:MM:SS[.mmm]" as seconds (minutes and seconds below 60, one to three fraction
// digits), or nothing.
std::optional<double> parseTimeOffset(std::string_view text);

} // namespace wend::cli
