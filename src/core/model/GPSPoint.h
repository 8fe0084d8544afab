#pragma once

#include "core/model/Instant.h"
#include "core/model/XMLDataContainer.h"

#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace wend {

// One position: a track point, a route point or a waypoint's position. Longitude and
// latitude are kept inside -180...180 and -90...90; NaN marks a value that is not set. The
// derived distance, speed and gradient are a cache filled by the statistics pass.
class GPSPoint : public XMLDataContainer {
public:
    static constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

    GPSPoint() = default;

    static std::shared_ptr<GPSPoint> point();
    static std::shared_ptr<GPSPoint> pointWithLongitude(double longitude, double latitude,
                                                        double elevation,
                                                        std::optional<Instant> time);

    double longitude() const { return m_longitude; }
    void setLongitude(double longitude);
    double latitude() const { return m_latitude; }
    void setLatitude(double latitude);
    double elevation() const { return m_elevation; }
    void setElevation(double elevation) { m_elevation = elevation; }
    const std::optional<Instant>& time() const { return m_time; }
    void setTime(std::optional<Instant> time) { m_time = time; }

    void setXMLElements(XMLElementList elements) { m_xmlElements = std::move(elements); }

    // The distance in metres from `other` (the earlier point of a pair) to this point: along
    // the slope when both have an elevation. Optionally gives this point's time minus the
    // other's in seconds, and the gradient (rise over horizontal run); NaN when unknown.
    double distanceFromPoint(const GPSPoint* other, double* timeDelta = nullptr,
                             double* gradient = nullptr) const;

    // A copy with its own kept elements.
    std::shared_ptr<GPSPoint> copy() const;
    std::string description() const;

    // The wrapping rules of the setters, for callers that normalise without a point.
    static double normalizedLongitude(double longitude);
    static double normalizedLatitude(double latitude);

private:
    double m_longitude = NaN;
    double m_latitude = NaN;
    double m_elevation = NaN;
    std::optional<Instant> m_time;
};

using GPSPointPtr = std::shared_ptr<GPSPoint>;
using PointList = std::vector<GPSPointPtr>;

} // namespace wend
