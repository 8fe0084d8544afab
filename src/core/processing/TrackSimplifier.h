#pragma once

#include "core/model/GPSItem.h"

#include <cstdint>
#include <string>

namespace wend {

// Simplification ("optimization"): removes points that lie on a nearly straight
// continuation of their neighbours, inside the selected stretches of each item.
class TrackSimplifier {
public:
    // Strengths below this change nothing.
    static constexpr double kMinimumStrength = 0.0001;
    // The strength the dialog opens with.
    static constexpr double kDefaultStrength = 0.25;

    // Removes from the item's point list (through its setter, only when something goes) every
    // point whose turning angle is below strength × 45°, looking at the first `range.length`
    // points from `range.location` (the range's own last point never takes part). The first and
    // last point of that stretch always stay. Returns the number of points removed.
    static std::uint64_t optimizeWithStrength(GPSItem& item, double strength, IndexRange range);
    // The same over the whole item.
    static std::uint64_t optimizeWithStrength(GPSItem& item, double strength);

    // The dialog's result: the original items themselves when the strength is below
    // kMinimumStrength, otherwise a copy of each item simplified inside each range of its
    // selection, with its selection shrunk to match. The originals are not changed.
    static ItemList mutatedItems(const ItemList& originalItems, double strength);

    // The number of selected segments over all items.
    static std::uint64_t numPointsInItems(const ItemList& items);

    // "Optimization Strength: 0.25"
    static std::string optimizationStrengthString(double strength);
    // "12 (40%) points removed", from the counts of numPointsInItems before and after.
    static std::string pointsRemovedString(std::uint64_t pointsBefore, std::uint64_t pointsAfter);
};

} // namespace wend
