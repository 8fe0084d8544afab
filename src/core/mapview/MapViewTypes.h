#pragma once

namespace wend {

// A place on the earth in degrees: x = longitude (east positive), y = latitude (north
// positive).
struct WorldPoint {
    double lon = 0;
    double lat = 0;

    bool operator==(const WorldPoint&) const = default;
};

// A position in the map view, in logical points (the widget's device-independent pixels; the
// painter scales them by the screen's pixel ratio). Which way y grows is said wherever the
// type is used: "view" coordinates grow upwards, "screen" coordinates grow downwards from the
// view's top-left corner, as the widget's own do.
struct ViewPoint {
    double x = 0;
    double y = 0;

    bool operator==(const ViewPoint&) const = default;
};

struct ViewSize {
    double width = 0;
    double height = 0;

    bool operator==(const ViewSize&) const = default;
};

struct ViewRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double maxX() const { return x + width; }
    double maxY() const { return y + height; }
    // Half-open, like the view's own frame: the far edges are outside.
    bool contains(ViewPoint p) const {
        return p.x >= x && p.x < maxX() && p.y >= y && p.y < maxY();
    }
    // The rectangle with `margin` added on every side.
    ViewRect grownBy(double margin) const {
        return {x - margin, y - margin, width + 2 * margin, height + 2 * margin};
    }
    bool operator==(const ViewRect&) const = default;
};

} // namespace wend
