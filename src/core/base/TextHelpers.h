#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace wend {

// "1h 2m 5s": whole hours, minutes and seconds, each cut toward zero. A negative interval
// gets one leading minus sign ("-1h 2m 5s"); NaN, infinities and magnitudes beyond 2^64
// seconds read "Unknown", the text used wherever a figure cannot be determined.
std::string stringWithTimeInterval(double seconds);

// "1.50 KB": two decimals and the largest binary unit (B, KB, MB, GB, TB, PB) that the
// count reaches. Always a full stop as decimal separator, whatever the process locale.
std::string stringWithFileSize(std::uint64_t bytes);

// "CamelCaseText" gives "Camel Case Text": a blank before every ASCII upper-case letter except
// at the start. Bytes of multi-byte UTF-8 characters are never upper-case ASCII letters, so
// those characters pass through unchanged.
std::string stringBySeparatingCapitalizedWords(std::string_view text);

} // namespace wend
