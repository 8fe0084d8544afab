#include "core/pointlist/PointListRows.h"

#include <algorithm>

namespace wend {

void PointListRows::setItems(ItemList items) {
    m_items = std::move(items);
    m_firstRows.assign(1, 0);
    m_firstRows.reserve(m_items.size() + 1);
    for (const auto& item : m_items)
        m_firstRows.push_back(m_firstRows.back() + (item ? item->itemPoints().size() : 0));
}

bool PointListRows::matches(const ItemList& items) const {
    if (items.size() != m_items.size())
        return false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] != m_items[i] ||
            (items[i] && items[i]->itemPoints().size() != pointCountOfItem(i)))
            return false;
    }
    return true;
}

std::optional<PointListRows::Location> PointListRows::locate(std::size_t row) const {
    if (row >= rowCount())
        return std::nullopt;
    // The last item whose first row is at or before the row; items without points share their
    // first row with the next item and are passed over.
    const auto next = std::upper_bound(m_firstRows.begin(), m_firstRows.end(), row);
    const auto item = static_cast<std::size_t>(next - m_firstRows.begin()) - 1;
    return Location{item, row - m_firstRows[item]};
}

const GPSItemPtr* PointListRows::itemAtRow(std::size_t row) const {
    const auto location = locate(row);
    if (!location || !m_items[location->item])
        return nullptr;
    return &m_items[location->item];
}

GPSPointPtr PointListRows::pointAtRow(std::size_t row) const {
    const auto location = locate(row);
    if (!location || !m_items[location->item])
        return nullptr;
    const PointList& points = m_items[location->item]->itemPoints();
    return location->point < points.size() ? points[location->point] : nullptr;
}

GPSPointPtr PointListRows::previousPointInItem(std::size_t row) const {
    const auto location = locate(row);
    if (!location || location->point == 0 || !m_items[location->item])
        return nullptr;
    const PointList& points = m_items[location->item]->itemPoints();
    return location->point - 1 < points.size() ? points[location->point - 1] : nullptr;
}

} // namespace wend
