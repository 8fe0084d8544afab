#include "cli/SimplifyCommand.h"

#include "cli/CommandLine.h"
#include "core/processing/TrackSimplifier.h"

#include <cstdint>
#include <iostream>

namespace wend::cli {

namespace {
std::uint64_t pointCount(const ItemList& items) {
    std::uint64_t count = 0;
    for (const auto& item : items)
        count += item->itemPoints().size();
    return count;
}
} // namespace

int runSimplify(const std::vector<std::string>& arguments) {
    CommandLine line(arguments, {}, {"strength"});
    line.expectPositional(2, "IN.gpx OUT.gpx");
    const double strength = line.requiredNumberValue("strength", 0);
    GPXReadResult read = readDocumentOrFail(line.positional()[0]);
    GPSDocument& document = *read.document;

    selectAllPoints(document.documentItems());
    const std::uint64_t before = pointCount(document.documentItems());
    document.setDocumentItems(TrackSimplifier::mutatedItems(document.documentItems(), strength));
    const std::uint64_t after = pointCount(document.documentItems());

    writeGPXOrFail(document, line.positional()[1], GPXWriteOptions{});
    std::cout << TrackSimplifier::pointsRemovedString(before, after) << "\n";
    return read.error ? 1 : 0;
}

} // namespace wend::cli
