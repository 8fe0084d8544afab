#pragma once

#include "core/mapview/MapViewGeometry.h"
#include "core/mapview/MapViewTypes.h"
#include "core/model/ItemColor.h"
#include "core/processing/UnitFormatter.h"

#include <optional>
#include <string>

namespace wend {

// The scale bar in the view's top-left corner: a round distance near the ground length of
// 100 points, in the formatter's measurement system (metres and kilometres, or feet and
// miles), as a translucent bar with a tick at each end and the distance's text.
struct MapScaleBar {
    static constexpr double kInset = 8;
    static constexpr double kBarHeight = 18;
    static constexpr double kTickWidth = 2;
    static constexpr double kFontSize = 12;
    static constexpr RGBAColor kFillColor{1, 1, 1, 0.4};
    static constexpr RGBAColor kTickColor{0, 0, 0, 0.5};
    static constexpr RGBAColor kTextColor{0, 0, 0, 1};
    static constexpr double kMetresPerFoot = 0.304799999536704;
    static constexpr double kMetresPerMile = 1609.343997553797;

    // Ground metres covered by 100 points.
    double metresPer100Points = 0;
    // That length in the bar's unit (metres, feet or miles), and rounded to one significant
    // digit.
    double length = 0;
    double roundedLength = 0;
    double unitInMetres = 1;
    double barWidth = 0;
    // The rounded length as the formatter writes distances ("3 km", "300 ft").
    std::string text;
    // Screen coordinates: the filled bar (the ticks are its left and right edges), and the
    // text's left edge and vertical centre.
    ViewRect barRect;
    ViewPoint textOrigin;

    static double metresPer100PointsAt(double latitude, int zoomLevel);
    // Nothing when no round length can be found (a length of zero or not a number).
    static std::optional<MapScaleBar> scaleBarForMetres(double metresPer100Points,
                                                        const UnitFormatter& formatter);
    static std::optional<MapScaleBar> scaleBarForView(const MapViewGeometry& geometry,
                                                      const UnitFormatter& formatter);
};

} // namespace wend
