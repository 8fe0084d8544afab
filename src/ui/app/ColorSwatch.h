#pragma once

#include "core/model/ItemColor.h"

#include <QColor>
#include <QImage>
#include <QPixmap>

class QPainter;
class QPointF;

namespace wend {

// The small square that stands for an item's colour in lists: the colour inside a border of
// the colour darkened 60 % towards black. Drawn in device pixels, so the border stays one sharp
// line on every screen instead of a blur at fractional scale factors.
class ColorSwatch {
public:
    static constexpr int kSize = 15;
    static constexpr double kBorderShadowLevel = 0.6;

    static QColor qColor(RGBAColor color);
    // Size kSize × kSize points at the given device pixel ratio; the border is one point wide,
    // rounded to whole device pixels (at least one).
    static QImage image(const ItemColor& color, qreal devicePixelRatio);
    // The same as a pixmap, cached per colour and ratio.
    static QPixmap pixmap(const ItemColor& color, qreal devicePixelRatio);
    // Draws the swatch with its top-left corner at the point, snapped to whole points so that
    // the image's pixels meet the device's.
    static void paint(QPainter& painter, const QPointF& topLeft, const ItemColor& color);
};

} // namespace wend
