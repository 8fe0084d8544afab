#include "core/model/ItemColor.h"

#include <algorithm>
#include <cmath>

namespace wend {

namespace {
double clampUnit(double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); }
} // namespace

ItemColor ItemColor::fromHSBA(double hue, double saturation, double brightness, double alpha) {
    return ItemColor{clampUnit(hue), clampUnit(saturation), clampUnit(brightness), clampUnit(alpha)};
}

RGBAColor ItemColor::rgba() const {
    // The standard HSV to RGB conversion.
    double h = clampUnit(hue) * 6.0;
    if (h >= 6.0)
        h = 0.0;
    int sector = static_cast<int>(std::floor(h));
    double f = h - sector;
    double v = brightness, s = saturation;
    double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (sector) {
    case 0:
        return {v, t, p, alpha};
    case 1:
        return {q, v, p, alpha};
    case 2:
        return {p, v, t, alpha};
    case 3:
        return {p, q, v, alpha};
    case 4:
        return {t, p, v, alpha};
    default:
        return {v, p, q, alpha};
    }
}

RGBAColor ItemColor::shadowed(double level) const {
    RGBAColor c = rgba();
    double keep = 1.0 - level;
    return {c.red * keep, c.green * keep, c.blue * keep, c.alpha};
}

const std::vector<std::pair<std::string, ItemColor>>& ItemColor::itemColorMap() {
    static const std::vector<std::pair<std::string, ItemColor>> table = [] {
        auto hsb = [](double degrees, double s, double b, double a = 1.0) {
            return ItemColor{degrees / 360.0, s, b, a};
        };
        return std::vector<std::pair<std::string, ItemColor>>{
            {"Black", hsb(0, 0, 0)},          {"DarkRed", hsb(0, 1, 0.65)},
            {"DarkGreen", hsb(95, 1, 0.65)},  {"DarkYellow", hsb(60, 1, 0.8)},
            {"DarkBlue", hsb(210, 1, 0.8)},   {"DarkMagenta", hsb(290, 1, 0.65)},
            {"DarkCyan", hsb(165, 1, 0.65)},  {"DarkGray", hsb(0, 0, 0.45)},
            {"LightGray", hsb(0, 0, 0.6)},    {"Red", hsb(0, 1, 1)},
            {"Green", hsb(95, 1, 0.9)},       {"Yellow", hsb(60, 1, 0.95)},
            {"Blue", hsb(205, 1, 1)},         {"Magenta", hsb(290, 1, 1)},
            {"Cyan", hsb(165, 1, 0.75)},      {"White", hsb(0, 0, 1)},
            {"Transparent", hsb(0, 0, 1, 0.6)},
        };
    }();
    return table;
}

std::optional<ItemColor> ItemColor::itemColorFromString(std::string_view name) {
    for (const auto& [n, c] : itemColorMap())
        if (n == name)
            return c;
    return std::nullopt;
}

std::optional<std::string> ItemColor::stringFromItemColor(const std::optional<ItemColor>& color) {
    if (!color)
        return std::nullopt;
    for (const auto& [n, c] : itemColorMap())
        if (c == *color)
            return n;
    return std::nullopt;
}

} // namespace wend
