#include "core/model/GPSPoint.h"

#include "core/model/GPXTime.h"

#include <cmath>
#include <cstdio>

namespace wend {

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kEarthRadiusKm = 6371.01;

// Wraps into [-bound, bound] like repeatedly adding or subtracting the period, but in
// constant time, so every input terminates. Infinite values are stored as 0.
double wrap(double value, double bound) {
    if (std::isnan(value))
        return value;
    if (!std::isfinite(value))
        return 0.0;
    if (value >= -bound && value <= bound)
        return value;
    const double period = 2 * bound;
    if (std::fabs(value) < 1e6) {
        // The stepwise rule itself: exact for the values of ordinary size.
        while (value < -bound)
            value += period;
        while (value > bound)
            value -= period;
        return value;
    }
    double r = std::fmod(value + bound, period); // in (-period, period)
    if (r < 0)
        r += period;
    double result = r - bound;
    // Values that landed on the lower bound from above correspond to the upper bound.
    if (result == -bound && value > 0)
        result = bound;
    return result;
}
} // namespace

double GPSPoint::normalizedLongitude(double longitude) { return wrap(longitude, 180.0); }
double GPSPoint::normalizedLatitude(double latitude) { return wrap(latitude, 90.0); }

std::shared_ptr<GPSPoint> GPSPoint::point() { return std::make_shared<GPSPoint>(); }

std::shared_ptr<GPSPoint> GPSPoint::pointWithLongitude(double longitude, double latitude, double elevation,
                                                       std::optional<Instant> time) {
    auto p = std::make_shared<GPSPoint>();
    p->setLongitude(longitude);
    p->setLatitude(latitude);
    p->setElevation(elevation);
    p->setTime(time);
    return p;
}

void GPSPoint::setLongitude(double longitude) { m_longitude = normalizedLongitude(longitude); }
void GPSPoint::setLatitude(double latitude) { m_latitude = normalizedLatitude(latitude); }

double GPSPoint::distanceFromPoint(const GPSPoint* other, double* timeDelta, double* gradient) const {
    if (timeDelta)
        *timeDelta = NaN;
    if (gradient)
        *gradient = NaN;
    if (!other)
        return 0.0;
    if (timeDelta && m_time && other->m_time)
        *timeDelta = m_time->secondsSince(*other->m_time);

    const double phi1 = m_latitude * kPi / 180.0;
    const double lambda1 = m_longitude * kPi / 180.0;
    const double phi2 = other->m_latitude * kPi / 180.0;
    const double deltaLambda = other->m_longitude * kPi / 180.0 - lambda1;

    const double sinPhi1 = std::sin(phi1), cosPhi1 = std::cos(phi1);
    const double sinPhi2 = std::sin(phi2), cosPhi2 = std::cos(phi2);
    const double cosDL = std::cos(deltaLambda), sinDL = std::sin(deltaLambda);
    // The Vincenty formula for a sphere: accurate for tiny and for antipodal distances.
    const double a = sinPhi2 * cosPhi1 - cosPhi2 * sinPhi1 * cosDL;
    const double b = sinDL * cosPhi2;
    const double sigma = std::atan2(std::sqrt(a * a + b * b), cosPhi2 * cosPhi1 * cosDL + sinPhi2 * sinPhi1);
    const double d = sigma * kEarthRadiusKm * 1000.0;

    const double dz = m_elevation - other->m_elevation;
    if (gradient)
        *gradient = dz / d;
    if (!std::isnan(dz))
        return std::hypot(d, dz);
    return d;
}

std::shared_ptr<GPSPoint> GPSPoint::copy() const {
    auto p = std::make_shared<GPSPoint>();
    p->m_xmlElements = m_xmlElements;
    p->setLongitude(m_longitude);
    p->setLatitude(m_latitude);
    p->setElevation(m_elevation);
    p->m_time = m_time;
    return p;
}

std::string GPSPoint::description() const {
    std::string time = m_time ? GPXTime::format(*m_time) : std::string("(null)");
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "<GPSPoint: Coord=%+f,%+f; Elev=%0.3f; Time=%s>", m_longitude,
                  m_latitude, m_elevation, time.c_str());
    return buffer;
}

} // namespace wend
