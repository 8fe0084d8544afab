#include "ui/mapview/ToolCursors.h"

#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSvgRenderer>
#include <cmath>

static void initCursorResources() {
    Q_INIT_RESOURCE(app);
}

namespace wend {

namespace {
const char* resourceOf(ToolCursor cursor) {
    switch (cursor) {
    case ToolCursor::AdditiveCrosshair:
        return ":/app/cursors/additive-crosshair.svg";
    case ToolCursor::SubtractiveCrosshair:
        return ":/app/cursors/subtractive-crosshair.svg";
    case ToolCursor::MoveCrosshair:
        return ":/app/cursors/move-crosshair.svg";
    default:
        return nullptr;
    }
}
} // namespace

QPixmap ToolCursors::crosshairPixmap(ToolCursor cursor, qreal devicePixelRatio) {
    const char* resource = resourceOf(cursor);
    if (!resource)
        return {};
    initCursorResources();
    const int pixels = static_cast<int>(std::ceil(kSize * devicePixelRatio));
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QString::fromLatin1(resource));
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QCursor ToolCursors::cursor(ToolCursor cursor) {
    switch (cursor) {
    case ToolCursor::Arrow:
        return QCursor(Qt::ArrowCursor);
    case ToolCursor::Crosshair:
        return QCursor(Qt::CrossCursor);
    case ToolCursor::OpenHand:
        return QCursor(Qt::OpenHandCursor);
    case ToolCursor::ClosedHand:
        return QCursor(Qt::ClosedHandCursor);
    default:
        break;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1;
    static QHash<int, QCursor> made;
    const int key = static_cast<int>(cursor) * 100 + static_cast<int>(ratio * 10);
    auto it = made.find(key);
    if (it == made.end())
        it = made.insert(key, QCursor(crosshairPixmap(cursor, ratio), kHotSpot, kHotSpot));
    return *it;
}

} // namespace wend
