#pragma once

#include "core/model/Selection.h"
#include "core/pointlist/PointListRows.h"

#include <vector>

namespace wend {

// The point list's row selection and the items' point selections, each made from the other.
// Both directions cost work in the number of selected stretches and items, never in the
// number of selected points.
class PointListSelectionMapping {
public:
    // Sorted, with overlapping and touching blocks joined and empty ones left out: the one form
    // in which two row selections that cover the same rows compare equal.
    static RowBlockList normalizedRowBlocks(RowBlockList blocks);

    // The rows of the points the items' selections cover, normalised.
    static RowBlockList rowBlocksOfSelections(const PointListRows& rows);

    // The selection of every item (in the order of rows.items()) that the selected rows give.
    // A block running over the end of an item goes on in the next one: every selected row
    // selects its point. Items without a selected row get an empty selection.
    static std::vector<Selection> selectionsOfRowBlocks(const PointListRows& rows,
                                                        const RowBlockList& blocks);
};

} // namespace wend
