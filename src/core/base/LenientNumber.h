#pragma once

#include <string_view>

namespace wend {

// Reads the longest leading decimal number of a text the way GPX readers must: leading
// blanks skipped, optional sign, fraction and exponent; 0 when there is no number, and 0 for
// values that are not finite (1e400, inf, nan), so the model never holds an infinite value.
double readLenientNumber(std::string_view text);

} // namespace wend
