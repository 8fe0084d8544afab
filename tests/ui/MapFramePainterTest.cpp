#include "ui/mapview/MapFramePainter.h"

#include "core/mapview/MapViewGeometry.h"
#include "core/mapview/MapViewRenderer.h"
#include "core/model/GPSItem.h"
#include "core/processing/UnitFormatter.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <string>

namespace wend {
namespace {

// A zigzag over some 3000 points of the screen at zoom 12, its points far enough apart that
// none is thinned out, so every build of the caches strokes the same course.
GPSItemPtr zigzag() {
    PointList points;
    for (int i = 0; i < 300; ++i)
        points.push_back(GPSPoint::pointWithLongitude(6.9 + 0.0009 * i, 46.0 + (i % 2 ? 0.004 : -0.004) + 0.0001 * (i % 7),
                                                      GPSPoint::NaN, std::nullopt));
    auto item = GPSItem::item();
    item->setItemType(GPSItemType::Track);
    item->setItemPoints(std::move(points));
    item->setItemColor(ItemColor::itemColorFromString("DarkRed"));
    return item;
}

QImage paintFrame(MapFramePainter& painter, const MapFrame& frame, QSize size, qreal ratio) {
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter qp(&image);
    painter.paint(qp, frame, QRectF(QPointF(), QSizeF(size)), QSizeF(size));
    return image;
}

int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

// A pan scrolls the kept image of the outlines and strokes only the strips it uncovers. Across
// the map a move by whole pixels is exact: the result must look as if the outlines were stroked
// whole, also where a strip meets what was kept, after the caches were rebuilt for a centre
// beyond their region, and at ratio 2. A move along the meridians is not whole on the Mercator
// map; once the pan ends the outlines must look stroked whole again.
TEST(MapFramePainter, ScrolledOutlinesLookStrokedWhole) {
    const ItemList items{zigzag()};
    const UnitFormatter formatter;
    const QSize size(400, 300);
    constexpr int kAntialiasing = 8;
    for (const qreal ratio : {1.0, 2.0}) {
        MapViewGeometry geometry;
        geometry.setViewSize(size.width(), size.height());
        geometry.setZoomLevel(12);
        geometry.setCenter(7.0, 46.0);
        MapViewRenderer renderer;
        MapFramePainter kept;
        paintFrame(kept, renderer.prepareFrame(items, geometry, formatter), size, ratio);
        const struct {
            double dx, dy;
        } moves[] = {{37, 0}, {-120, 45}, {-3, 0}, {0, 90}, {-700, 0}, {-5, -2}, {250, -130}, {-41, 0}};
        for (const auto& move : moves) {
            SCOPED_TRACE("ratio " + std::to_string(ratio) + ", move " + std::to_string(move.dx) + " " +
                         std::to_string(move.dy));
            geometry.beginPan();
            geometry.dragPan(move.dx, move.dy);
            if (renderer.needsRecache(items, geometry))
                kept.clearPathCache();
            const MapFrame frame = renderer.prepareFrame(items, geometry, formatter);
            MapFramePainter fresh;
            const QImage whole = paintFrame(fresh, frame, size, ratio);
            if (move.dy == 0)
                EXPECT_LE(largestDifference(paintFrame(kept, frame, size, ratio), whole), kAntialiasing);
            else
                paintFrame(kept, frame, size, ratio);
            geometry.endPan();
            kept.dropInexactOutlines();
            EXPECT_LE(largestDifference(paintFrame(kept, frame, size, ratio), whole), kAntialiasing);
        }
    }
}

} // namespace
} // namespace wend
