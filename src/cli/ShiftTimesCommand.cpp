#include "cli/ShiftTimesCommand.h"

#include "cli/CommandLine.h"
#include "core/processing/TimestampRewriter.h"

#include <cstdint>

namespace wend::cli {

namespace {

// Reads `count` digits (or, with count 0, one to nine) at `pos`.
std::optional<std::int64_t> digitsAt(std::string_view text, std::size_t& pos, std::size_t count) {
    const std::size_t start = pos;
    const std::size_t limit = count ? count : 9;
    std::int64_t value = 0;
    while (pos < text.size() && pos - start < limit && text[pos] >= '0' && text[pos] <= '9')
        value = value * 10 + (text[pos++] - '0');
    if (pos == start || (count && pos - start != count))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> parseTimeOffset(std::string_view text) {
    std::size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++pos;
    auto hours = digitsAt(text, pos, 0);
    if (!hours || pos >= text.size() || text[pos++] != ':')
        return std::nullopt;
    auto minutes = digitsAt(text, pos, 2);
    if (!minutes || *minutes > 59 || pos >= text.size() || text[pos++] != ':')
        return std::nullopt;
    auto seconds = digitsAt(text, pos, 2);
    if (!seconds || *seconds > 59)
        return std::nullopt;
    std::int64_t milliseconds = 0;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        const std::size_t start = pos;
        auto fraction = digitsAt(text, pos, 0);
        if (!fraction || pos - start > 3)
            return std::nullopt;
        milliseconds = *fraction;
        for (std::size_t n = pos - start; n < 3; ++n)
            milliseconds *= 10;
    }
    if (pos != text.size())
        return std::nullopt;
    const std::int64_t total = ((*hours * 60 + *minutes) * 60 + *seconds) * 1000 + milliseconds;
    return (negative ? -1.0 : 1.0) * static_cast<double>(total) / 1000.0;
}

int runShiftTimes(const std::vector<std::string>& arguments) {
    CommandLine line(arguments, {}, {"by"});
    line.expectPositional(2, "IN.gpx OUT.gpx");
    auto by = line.value("by");
    if (!by)
        throw UsageError("option --by is required");
    auto offset = parseTimeOffset(*by);
    if (!offset)
        throw UsageError("option --by needs [-]H:MM:SS[.mmm], not \"" + *by + "\"");
    GPXReadResult read = readDocumentOrFail(line.positional()[0]);
    GPSDocument& document = *read.document;

    selectAllPoints(document.documentItems());
    document.setDocumentItems(
        TimestampRewriter::offsetTimestamps(document.documentItems(), *offset));

    writeGPXOrFail(document, line.positional()[1], GPXWriteOptions{});
    return read.error ? 1 : 0;
}

} // namespace wend::cli
