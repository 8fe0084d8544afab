#include "ui/app/MapPrinter.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace wend {

void MapPrinter::preparePrinter(QPrinter& printer, QSize imageSize) {
    printer.setPageOrientation(imageSize.width() > imageSize.height() ? QPageLayout::Landscape
                                                                      : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(kMarginPoints, kMarginPoints, kMarginPoints, kMarginPoints),
                           QPageLayout::Point);
}

bool MapPrinter::printImage(QPrinter& printer, const QImage& image) {
    if (image.isNull())
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF area(0, 0, page.width(), page.height());
    QSizeF size = QSizeF(image.size()).scaled(area.size(), Qt::KeepAspectRatio);
    QRectF target(QPointF(area.left() + (area.width() - size.width()) / 2, area.top()), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
    return painter.end();
}

} // namespace wend
