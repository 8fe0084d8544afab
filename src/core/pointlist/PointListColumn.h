#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace wend {

// The columns of the point list, in their order on screen.
enum class PointListColumn { RowNumber, Timestamp, Latitude, Longitude, Elevation, Speed, Gradient };

inline constexpr std::size_t kPointListColumnCount = 7;
inline constexpr std::array<PointListColumn, kPointListColumnCount> kPointListColumns = {
    PointListColumn::RowNumber, PointListColumn::Timestamp, PointListColumn::Latitude,
    PointListColumn::Longitude, PointListColumn::Elevation, PointListColumn::Speed,
    PointListColumn::Gradient};

std::string_view titleOfPointListColumn(PointListColumn column);
// Latitude, longitude and elevation are typed into their cell; the timestamp has an editor of
// its own; the rest are derived.
bool isTypedPointListColumn(PointListColumn column);

} // namespace wend
