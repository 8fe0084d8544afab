#pragma once

#include "core/model/GPSItem.h"
#include "core/processing/TrackStatistics.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

class UnitFormatter;

// One line of the statistics pane: a label and its value ("Total Distance", "8 km"). A plain
// message has an empty label and the message as its value.
struct StatisticsRow {
    std::string label;
    std::string value;

    // "Label: value", or the message alone.
    std::string text() const;
    bool operator==(const StatisticsRow&) const = default;
};

// One item's share of the combined figures: what the statistics pass gave for it, its point
// count and its first and last times.
struct StatisticsItemPart {
    std::uint64_t pointCount = 0;
    std::optional<Instant> start;
    std::optional<Instant> finish;
    std::optional<TrackStatistics> statistics; // nothing for an item without points

    // The part of an item whose figures are known already.
    static StatisticsItemPart ofItem(const GPSItem& item, std::optional<TrackStatistics> statistics);
};

// The lines of the statistics pane for the items it is given (the selected stretches as
// items, or every item): the details of a single point, or figures combined over several
// points and items. Figures that cannot be determined are left out.
class StatisticsRows {
public:
    static constexpr std::string_view kNoStatisticsText = "No statistics to display";

    // Receives every row before filtering; a value of "Unknown" is not shown.
    using AddStat = std::function<void(std::string_view label, std::string value)>;

    // No items: the single message row. One item holding one point: that point's rows, with
    // the derived values it has in its own track. Otherwise the combined rows.
    static std::vector<StatisticsRow>
    selectionStatisticsForTracks(const ItemList& items, const UnitFormatter& formatter,
                                 bool ignoreOutliers,
                                 const PointDerivedValues& singlePointValues = {});

    // "Time", "Location", "Distance From Origin", "Speed", "Elevation", "Gradient".
    static void generateStatisticsForSinglePoint(const GPSPoint& point,
                                                 const PointDerivedValues& derived,
                                                 const UnitFormatter& formatter,
                                                 const AddStat& addStat);
    // "Number of Points" to "Maximum Descending Gradient", from the statistics pass of each
    // item.
    static void generateStatisticsForMultiplePoints(const ItemList& items,
                                                    const UnitFormatter& formatter,
                                                    bool ignoreOutliers, const AddStat& addStat);
    // The same rows from the items' parts, in the items' order.
    static std::vector<StatisticsRow> rowsForParts(const std::vector<StatisticsItemPart>& parts,
                                                   const UnitFormatter& formatter);
};

} // namespace wend
