#pragma once

#include "core/model/GPSItem.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace wend {

// A run of consecutive rows of the point list: `count` rows from `first` on.
struct RowBlock {
    std::size_t first = 0;
    std::size_t count = 0;

    std::size_t end() const { return first + count; }
    bool operator==(const RowBlock&) const = default;
};
using RowBlockList = std::vector<RowBlock>;

// The rows of the point list: every point of the items, item after item, each in point
// order. Rows are not materialised: a row is found through the running sums of the items'
// point counts, so taking in a new item list costs work in the number of items, not of points.
class PointListRows {
public:
    // Which point a row stands for: the item's position in the list and the point's in the item.
    struct Location {
        std::size_t item = 0;
        std::size_t point = 0;
        bool operator==(const Location&) const = default;
    };

    PointListRows() = default;
    explicit PointListRows(ItemList items) { setItems(std::move(items)); }

    void setItems(ItemList items);
    const ItemList& items() const { return m_items; }
    std::size_t rowCount() const { return m_firstRows.back(); }
    // Whether the items and their point counts are still those taken in.
    bool matches(const ItemList& items) const;

    // Nothing for a row beyond the last.
    std::optional<Location> locate(std::size_t row) const;
    std::size_t firstRowOfItem(std::size_t item) const { return m_firstRows.at(item); }
    std::size_t pointCountOfItem(std::size_t item) const {
        return m_firstRows.at(item + 1) - m_firstRows.at(item);
    }
    // The row's item and point; null when the row lies beyond the last, or when the item has
    // lost the point since it was taken in.
    const GPSItemPtr* itemAtRow(std::size_t row) const;
    GPSPointPtr pointAtRow(std::size_t row) const;
    // The point before the row's point in its item; null for an item's first point.
    GPSPointPtr previousPointInItem(std::size_t row) const;

private:
    ItemList m_items;
    // m_firstRows[i] is the row of item i's first point; the last entry is the row count.
    std::vector<std::size_t> m_firstRows{0};
};

} // namespace wend
