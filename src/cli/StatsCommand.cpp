#include "cli/StatsCommand.h"

#include "cli/CommandLine.h"
#include "core/processing/StatisticsRows.h"
#include "core/processing/TrackStatistics.h"
#include "core/processing/UnitFormatter.h"

#include <cmath>
#include <iostream>
#include <nlohmann/json.hpp>

namespace wend::cli {

namespace {

using JSON = nlohmann::ordered_json;

void printRows(const std::vector<StatisticsRow>& rows) {
    for (const auto& row : rows)
        std::cout << "  " << row.text() << "\n";
}

// Every one of the thirteen keys, so that scripts need not test for missing ones; an item
// without points has no figures at all.
JSON figuresAsJSON(const GPSItem& item, bool ignoreOutliers) {
    const TrackStatistics statistics =
        basicStatisticsIgnoringOutliers(item, ignoreOutliers).value_or(TrackStatistics{});
    JSON figures = JSON::object();
    for (const auto& [key, value] : statistics.entries())
        figures[std::string(key)] = std::isfinite(value) ? JSON(value) : JSON(nullptr);
    return figures;
}

} // namespace

int runStats(const std::vector<std::string>& arguments) {
    CommandLine line(arguments, {"imperial", "keep-outliers", "json"}, {});
    line.expectPositional(1, "FILE");
    const std::string& path = line.positional()[0];
    GPXReadResult read = readDocumentOrFail(path);
    const ItemList& items = read.document->documentItems();
    const bool ignoreOutliers = !line.flag("keep-outliers");

    if (line.flag("json")) {
        JSON out;
        out["file"] = path;
        out["items"] = JSON::array();
        for (const auto& item : items)
            out["items"].push_back({{"type", itemTypeName(item->itemType())},
                                    {"name", item->itemName()},
                                    {"points", item->itemPoints().size()},
                                    {"statistics", figuresAsJSON(*item, ignoreOutliers)}});
        std::cout << out.dump() << "\n";
    } else {
        const UnitFormatter formatter(line.flag("imperial") ? MeasurementSystem::Imperial
                                                            : MeasurementSystem::Metric);
        for (const auto& item : items) {
            std::cout << itemTypeName(item->itemType()) << " \"" << item->itemName() << "\"\n";
            printRows(
                StatisticsRows::selectionStatisticsForTracks({item}, formatter, ignoreOutliers));
        }
        // A single item's combined rows would only repeat its own.
        if (items.size() != 1) {
            std::cout << "all items\n";
            printRows(
                StatisticsRows::selectionStatisticsForTracks(items, formatter, ignoreOutliers));
        }
    }
    return read.error ? 1 : 0;
}

} // namespace wend::cli
