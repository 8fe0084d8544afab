#include "core/pointlist/PointListEditText.h"

#include <charconv>
#include <cmath>

namespace wend {

namespace {

constexpr std::string_view kMinusSign = "\u2212";
constexpr std::string_view kDegreeSign = "\u00b0";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool consume(std::string_view& text, std::string_view prefix) {
    if (prefix.empty() || !text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

std::size_t consumeDigits(std::string_view& text, std::string& into) {
    std::size_t count = 0;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
        into += text.front();
        text.remove_prefix(1);
        ++count;
    }
    return count;
}

// A leading number; `text` keeps what follows it.
std::optional<double> consumeNumber(std::string_view& text, std::string_view decimalSeparator) {
    std::string ascii;
    if (consume(text, "-") || consume(text, kMinusSign))
        ascii += '-';
    else
        consume(text, "+");
    std::size_t digits = consumeDigits(text, ascii);
    if (consume(text, ".") || consume(text, decimalSeparator)) {
        ascii += '.';
        digits += consumeDigits(text, ascii);
    }
    if (digits == 0)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string_view unitOf(PointListColumn column, MeasurementSystem system) {
    if (column == PointListColumn::Elevation)
        return system == MeasurementSystem::Metric ? "m" : "ft";
    return kDegreeSign;
}

std::string shortestFixed(double value) {
    char buffer[400];
    // Adding 0 turns -0 into 0.
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value + 0.0, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string PointListEditText::editText(PointListColumn column, const GPSPoint& point,
                                        MeasurementSystem system) {
    double value = GPSPoint::NaN;
    switch (column) {
    case PointListColumn::Latitude:
        value = point.latitude();
        break;
    case PointListColumn::Longitude:
        value = point.longitude();
        break;
    case PointListColumn::Elevation:
        value = point.elevation();
        if (system == MeasurementSystem::Imperial)
            value *= UnitFormatter::kFeetPerMetre;
        break;
    default:
        break;
    }
    return std::isfinite(value) ? shortestFixed(value) : std::string();
}

std::optional<double> PointListEditText::valueOfText(PointListColumn column, std::string_view text,
                                                     MeasurementSystem system,
                                                     std::string_view decimalSeparator) {
    if (!isTypedPointListColumn(column))
        return std::nullopt;
    std::string_view rest = trimmed(text);
    const auto value = consumeNumber(rest, decimalSeparator);
    if (!value)
        return std::nullopt;
    rest = trimmed(rest);
    consume(rest, unitOf(column, system));
    if (!rest.empty())
        return std::nullopt;
    switch (column) {
    case PointListColumn::Latitude:
        return std::fabs(*value) <= 90 ? value : std::nullopt;
    case PointListColumn::Longitude:
        return std::fabs(*value) <= 180 ? value : std::nullopt;
    default:
        // Feet are converted with the factor they are shown with, so a typed value shows again
        // as typed.
        return system == MeasurementSystem::Metric ? *value : *value / UnitFormatter::kFeetPerMetre;
    }
}

std::string PointListEditText::refusalText(PointListColumn column, MeasurementSystem system) {
    switch (column) {
    case PointListColumn::Latitude:
        return "Type a latitude in degrees, from \u221290 to 90.";
    case PointListColumn::Longitude:
        return "Type a longitude in degrees, from \u2212180 to 180.";
    case PointListColumn::Elevation:
        return system == MeasurementSystem::Metric ? "Type an elevation in metres."
                                                   : "Type an elevation in feet.";
    default:
        return {};
    }
}

} // namespace wend
