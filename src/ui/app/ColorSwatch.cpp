#include "ui/app/ColorSwatch.h"

#include <QPainter>
#include <QPixmapCache>
#include <QPointF>
#include <algorithm>
#include <cmath>

namespace wend {

QColor ColorSwatch::qColor(RGBAColor color) {
    auto unit = [](double v) { return std::clamp(std::isnan(v) ? 0.0 : v, 0.0, 1.0); };
    return QColor::fromRgbF(
        static_cast<float>(unit(color.red)), static_cast<float>(unit(color.green)),
        static_cast<float>(unit(color.blue)), static_cast<float>(unit(color.alpha)));
}

QImage ColorSwatch::image(const ItemColor& color, qreal devicePixelRatio) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int size = std::max(1, static_cast<int>(std::lround(kSize * ratio)));
    const int border = std::max(1, static_cast<int>(std::lround(ratio)));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.fillRect(QRect(0, 0, size, size), qColor(color.shadowed(kBorderShadowLevel)));
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(QRect(border, border, size - 2 * border, size - 2 * border),
                         qColor(color.rgba()));
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

QPixmap ColorSwatch::pixmap(const ItemColor& color, qreal devicePixelRatio) {
    const QString key = QStringLiteral("wend-swatch-%1-%2-%3-%4-%5")
                            .arg(color.hue)
                            .arg(color.saturation)
                            .arg(color.brightness)
                            .arg(color.alpha)
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(image(color, devicePixelRatio));
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

void ColorSwatch::paint(QPainter& painter, const QPointF& topLeft, const ItemColor& color) {
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const QPointF snapped(std::round(topLeft.x()), std::round(topLeft.y()));
    painter.drawPixmap(snapped, pixmap(color, ratio));
}

} // namespace wend
