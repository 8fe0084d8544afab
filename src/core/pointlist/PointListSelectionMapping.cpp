#include "core/pointlist/PointListSelectionMapping.h"

#include <algorithm>

namespace wend {

RowBlockList PointListSelectionMapping::normalizedRowBlocks(RowBlockList blocks) {
    std::sort(blocks.begin(), blocks.end(),
              [](const RowBlock& a, const RowBlock& b) { return a.first < b.first; });
    RowBlockList result;
    for (const RowBlock& block : blocks) {
        if (block.count == 0)
            continue;
        if (!result.empty() && block.first <= result.back().end())
            result.back().count = std::max(result.back().end(), block.end()) - result.back().first;
        else
            result.push_back(block);
    }
    return result;
}

RowBlockList PointListSelectionMapping::rowBlocksOfSelections(const PointListRows& rows) {
    RowBlockList blocks;
    const ItemList& items = rows.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::size_t count = rows.pointCountOfItem(i);
        if (!items[i] || count == 0)
            continue;
        const std::size_t offset = rows.firstRowOfItem(i);
        for (const IndexRange& range : items[i]->itemSelection().ranges()) {
            if (range.location >= count)
                continue;
            const std::size_t last = static_cast<std::size_t>(std::min<std::uint64_t>(range.end(), count - 1));
            const std::size_t first = static_cast<std::size_t>(range.location);
            blocks.push_back({offset + first, last - first + 1});
        }
    }
    return normalizedRowBlocks(std::move(blocks));
}

std::vector<Selection> PointListSelectionMapping::selectionsOfRowBlocks(const PointListRows& rows,
                                                                        const RowBlockList& blocks) {
    const ItemList& items = rows.items();
    std::vector<std::vector<IndexRange>> ranges(items.size());
    for (const RowBlock& block : normalizedRowBlocks(blocks)) {
        const std::size_t end = std::min(block.end(), rows.rowCount());
        for (std::size_t row = block.first; row < end;) {
            const auto location = rows.locate(row);
            const std::size_t itemEnd = rows.firstRowOfItem(location->item + 1);
            const std::size_t stop = std::min(end, itemEnd);
            ranges[location->item].push_back({location->point, stop - row - 1});
            row = stop;
        }
    }
    std::vector<Selection> selections;
    selections.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        // The blocks were joined where they touch, so the ranges are sorted and apart: the
        // selection's normal form.
        const IndexRange valid = items[i] ? items[i]->pointIndexRange() : IndexRange{};
        selections.emplace_back(valid, std::move(ranges[i]));
    }
    return selections;
}

} // namespace wend
