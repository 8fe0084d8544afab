#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wend {

struct RGBAColor {
    double red = 0, green = 0, blue = 0, alpha = 1;
    bool operator==(const RGBAColor&) const = default;
};

// A display colour as hue, saturation, brightness and alpha, each 0...1 (hue as a fraction
// of the full circle). Items store these; the 17 named colours are the values of the Garmin
// display-colour extension, which is how colours travel in GPX files.
struct ItemColor {
    double hue = 0, saturation = 0, brightness = 0, alpha = 1;

    // Components above 1 are clamped to 1 (and below 0 to 0) when a colour is made.
    static ItemColor fromHSBA(double hue, double saturation, double brightness, double alpha);

    RGBAColor rgba() const;
    // This colour blended towards black by the given fraction (the swatch's border).
    RGBAColor shadowed(double level) const;

    bool operator==(const ItemColor&) const = default;

    // The table of named colours, in the order of the Garmin enumeration.
    static const std::vector<std::pair<std::string, ItemColor>>& itemColorMap();
    // The colour of that exact (case-sensitive) name, or none.
    static std::optional<ItemColor> itemColorFromString(std::string_view name);
    // The name whose colour equals the given one, or none for a freely picked colour.
    static std::optional<std::string> stringFromItemColor(const std::optional<ItemColor>& color);
};

} // namespace wend
