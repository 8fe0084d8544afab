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

// A zigzag eastwards from the longitude, some 30 points of the screen a segment at zoom 12 (300
// points span some 800): far enough apart that none is thinned out, so every build of the
// caches strokes the same course.
GPSItemPtr zigzag(double fromLongitude = 6.9, int count = 300) {
    PointList points;
    for (int i = 0; i < count; ++i)
        points.push_back(GPSPoint::pointWithLongitude(fromLongitude + 0.0009 * i, 46.0 + (i % 2 ? 0.004 : -0.004) + 0.0001 * (i % 7),
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

// A pan scrolls the kept image of the outlines, takes in the bands stroked ahead around the view
// and strokes only what is still missing. Across the map a move by whole pixels is exact: the
// result must look as if the outlines were stroked whole, also where a strip or band meets
// what was kept, after the caches were rebuilt for a centre beyond their region, and at ratio
// 2. A move along the meridians is not whole on the Mercator map; once the pan ends the
// outlines must look stroked whole again. A band stroked before the colour changed is dropped,
// and none reaches beyond the region the caches held when it was stroked.
TEST(MapFramePainter, ScrolledOutlinesLookStrokedWhole) {
    // The second lies beside the view at first, beyond every stroke the view needs.
    const ItemList items{zigzag(), zigzag(6.78, 40)};
    const UnitFormatter formatter;
    const QSize size(400, 300);
    constexpr int kAntialiasing = 8;
    for (const qreal ratio : {1.0, 2.0}) {
        items[0]->setItemColor(ItemColor::itemColorFromString("DarkRed"));
        MapViewGeometry geometry;
        geometry.setViewSize(size.width(), size.height());
        geometry.setZoomLevel(12);
        geometry.setCenter(7.0, 46.0);
        MapViewRenderer renderer;
        MapFramePainter kept;
        paintFrame(kept, renderer.prepareFrame(items, geometry, formatter), size, ratio);
        const struct {
            double dx, dy;
            const char* color = nullptr;
        } moves[] = {{37, 0},   {-120, 45},  {-3, 0},  {0, 90},          {-700, 0}, {-380, 0}, {-200, 0},
                     {-5, -2},  {250, -130}, {-41, 0}, {60, 0, "Olive"}, {-90, 0}};
        for (const auto& move : moves) {
            SCOPED_TRACE("ratio " + std::to_string(ratio) + ", move " + std::to_string(move.dx) + " " +
                         std::to_string(move.dy));
            kept.finishStrokesAhead();
            if (move.color)
                items[0]->setItemColor(ItemColor::itemColorFromString(move.color));
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
