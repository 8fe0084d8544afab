#include "core/mapview/MapScaleBar.h"

#include <cmath>

namespace wend {

double MapScaleBar::metresPer100PointsAt(double latitude, int zoomLevel) {
    // 156543.03 metres per pixel is the equator's ground resolution at zoom 0.
    return std::cos(latitude * MapViewGeometry::kRadiansPerDegree) * 156543.03 /
           std::pow(2.0, zoomLevel) * 100.0;
}

std::optional<MapScaleBar> MapScaleBar::scaleBarForMetres(double metresPer100Points,
                                                          const UnitFormatter& formatter) {
    MapScaleBar bar;
    bar.metresPer100Points = metresPer100Points;
    if (formatter.measurementSystem() == MeasurementSystem::Imperial) {
        bar.length = metresPer100Points * UnitFormatter::kFeetPerMetre;
        if (bar.length > UnitFormatter::kFeetPerMile) {
            bar.length /= UnitFormatter::kFeetPerMile;
            bar.unitInMetres = kMetresPerMile;
        } else {
            bar.unitInMetres = kMetresPerFoot;
        }
    } else {
        bar.length = metresPer100Points;
        bar.unitInMetres = 1;
    }
    const double magnitude = std::pow(10.0, std::floor(std::log10(bar.length)));
    if (!std::isfinite(magnitude) || magnitude <= 0)
        return std::nullopt;
    bar.roundedLength = std::round(bar.length / magnitude) * magnitude;
    bar.barWidth = 100.0 * bar.roundedLength / bar.length;
    bar.text = formatter.distanceStringForMetres(bar.roundedLength * bar.unitInMetres);
    bar.barRect = {kInset, kInset, bar.barWidth, kBarHeight};
    bar.textOrigin = {2 * kInset, kInset + kBarHeight / 2};
    return bar;
}

std::optional<MapScaleBar> MapScaleBar::scaleBarForView(const MapViewGeometry& geometry,
                                                        const UnitFormatter& formatter) {
    return scaleBarForMetres(metresPer100PointsAt(geometry.center().lat, geometry.zoomLevel()),
                             formatter);
}

} // namespace wend
