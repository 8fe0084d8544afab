#pragma once

#include "core/model/Instant.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace wend {

// The time stamps of GPX files: a strict, allocation-free reader and writer of the ISO 8601
// forms yyyy-MM-ddTHH:mm:ss, optionally with a fraction of 1 to 9 digits and optionally with
// a zone (Z, +HH:MM, +HHMM, +HH or +HH:MM:SS; none means UTC). This is the hot path of
// reading and writing large files.
class GPXTime {
public:
    // Surrounding blanks are ignored; anything else that does not fit gives nothing.
    static std::optional<Instant> parse(std::string_view text);

    // UTC, "yyyy-MM-ddTHH:mm:ssZ", with ".SSS" (milliseconds, cut toward the past) when the
    // fraction of a second is at least one millisecond. Writes at most kMaxLength bytes.
    static constexpr std::size_t kMaxLength = 40;
    static std::size_t format(Instant time, char* out);
    static std::string format(Instant time);

    // Days since 1970-01-01 of a date in the proleptic Gregorian calendar, and back.
    static std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day);
    static void civilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day);
};

} // namespace wend
