#include "cli/SplitStopsCommand.h"

#include "cli/CommandLine.h"
#include "core/processing/RestStopSplitter.h"

#include <cstddef>
#include <iostream>

namespace wend::cli {

namespace {

std::size_t restStopCount(const ItemList& items, const RestStopSettings& settings) {
    std::size_t count = 0;
    for (const auto& item : items)
        if (!item->itemPoints().empty())
            count += RestStopSplitter::rangesOfReststops(
                         *item, settings.minTime, settings.maxDistance, item->pointIndexRange())
                         .size();
    return count;
}

std::string counted(std::size_t count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

} // namespace

int runSplitStops(const std::vector<std::string>& arguments) {
    CommandLine line(arguments, {"keep-stops"}, {"min-time", "max-distance"});
    line.expectPositional(2, "IN.gpx OUT.gpx");
    RestStopSettings settings;
    settings.minTime = line.numberValue("min-time", settings.minTime, 0);
    settings.maxDistance = line.numberValue("max-distance", settings.maxDistance, 0);
    settings.discardRestStops = !line.flag("keep-stops");
    GPXReadResult read = readDocumentOrFail(line.positional()[0]);
    GPSDocument& document = *read.document;

    selectAllPoints(document.documentItems());
    const std::size_t stops = restStopCount(document.documentItems(), settings);
    // The pieces take their colours from a fresh pool, as the editor's dialog does.
    PathColorPool pool;
    document.setDocumentItems(RestStopSplitter::mutatedItems(
        document.documentItems(), settings, [&pool] { return pool.nextPathColor(); }));

    writeGPXOrFail(document, line.positional()[1], GPXWriteOptions{});
    std::cout << counted(stops, "rest stop", "rest stops") << " found, "
              << counted(document.documentItems().size(), "item", "items") << " written\n";
    return read.error ? 1 : 0;
}

} // namespace wend::cli
