#include "ui/mapview/MapFramePainter.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace wend {

namespace {
// Long enough for the stroker to draw the caps, far too short to see.
constexpr double kDotLength = 1e-3;
// Converted label images kept before the cache starts afresh.
constexpr int kMaxLabelImages = 2000;
// Device pixels of outlines kept around the view, stroked ahead while a pan lasts: a sweep
// moves up to some 250 points a frame.
constexpr int kAheadMargin = 256;
// Device pixels of a band's depth: a band is painted in time for the frame after next.
constexpr int kBandThickness = 96;
// Bands started together, when the last ones are taken.
constexpr int kBandsAhead = 3;
// Pieces of a region stroked one by one (each walks the paths' chunks); more are stroked as one.
constexpr int kMaxStrokedPieces = 6;
// Device pixels of a region from which it is stroked on two cores at once: a sweep over a
// dense stretch uncovers strips that one core strokes in far more than a frame.
constexpr qint64 kSharedStrokeArea = 40000;
// Stripes a shared region is cut into at most, and their least depth (device pixels): each
// stripe strokes whole chunks of the paths around it, so thin ones would stroke much twice.
constexpr int kSharedStripes = 8;
constexpr int kMinStripeDepth = 48;

qint64 areaOf(const QRegion& region) {
    qint64 area = 0;
    for (const QRect& rect : region)
        area += qint64(rect.width()) * rect.height();
    return area;
}

// The region's pieces cut across their longer sides into stripes of about `area` pixels.
std::vector<QRect> stripesOf(const QRegion& region, qint64 area) {
    std::vector<QRect> stripes;
    for (const QRect& rect : region) {
        const bool alongX = rect.width() >= rect.height();
        const int length = alongX ? rect.width() : rect.height();
        const qint64 pieceArea = qint64(rect.width()) * rect.height();
        const int count = static_cast<int>(std::clamp<qint64>((pieceArea + area - 1) / area, 1,
                                                              std::max(1, length / kMinStripeDepth)));
        for (int k = 0; k < count; ++k) {
            const int from = length * k / count, to = length * (k + 1) / count;
            stripes.push_back(alongX ? QRect(rect.left() + from, rect.top(), to - from, rect.height())
                                     : QRect(rect.left(), rect.top() + from, rect.width(), to - from));
        }
    }
    return stripes;
}

QPen roundPen(const QColor& color, double width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Three passes of a box blur approximate a Gaussian; works on one byte per pixel.
void boxBlur(std::vector<unsigned char>& plane, int width, int height, int radius) {
    if (radius < 1 || width <= 0 || height <= 0)
        return;
    std::vector<unsigned char> line(static_cast<std::size_t>(std::max(width, height)));
    const int span = 2 * radius + 1;
    auto blurLine = [&](unsigned char* start, int count, int stride) {
        for (int i = 0; i < count; ++i)
            line[static_cast<std::size_t>(i)] = start[i * stride];
        int sum = 0;
        for (int i = -radius; i <= radius; ++i)
            sum += (i >= 0 && i < count) ? line[static_cast<std::size_t>(i)] : 0;
        for (int i = 0; i < count; ++i) {
            start[i * stride] = static_cast<unsigned char>(sum / span);
            const int out = i - radius, in = i + radius + 1;
            if (out >= 0)
                sum -= line[static_cast<std::size_t>(out)];
            if (in < count)
                sum += line[static_cast<std::size_t>(in)];
        }
    };
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y)
            blurLine(plane.data() + static_cast<std::size_t>(y) * width, width, 1);
        for (int x = 0; x < width; ++x)
            blurLine(plane.data() + x, height, width);
    }
}
} // namespace

MapFramePainter::MapFramePainter() : m_labelFont(QGuiApplication::font()) {
    m_labelFont.setPixelSize(static_cast<int>(MapFrame::kLabelFontSize));
}

QColor MapFramePainter::qColor(RGBAColor color) {
    auto unit = [](double value) {
        return std::clamp(std::isfinite(value) ? value : 0.0, 0.0, 1.0);
    };
    return QColor::fromRgbF(
        static_cast<float>(unit(color.red)), static_cast<float>(unit(color.green)),
        static_cast<float>(unit(color.blue)), static_cast<float>(unit(color.alpha)));
}

QPainterPath MapFramePainter::painterPath(const ViewPathIndex::VisibleParts& parts) {
    QPainterPath result;
    std::size_t count = parts.dots.size() * 2;
    for (const auto& run : parts.runs)
        count += run.size();
    result.reserve(static_cast<int>(std::min<std::size_t>(count, INT_MAX)));
    for (const auto& run : parts.runs) {
        result.moveTo(run[0].x, run[0].y);
        for (std::size_t k = 1; k < run.size(); ++k)
            result.lineTo(run[k].x, run[k].y);
    }
    for (const ViewPoint& dot : parts.dots) {
        result.moveTo(dot.x, dot.y);
        result.lineTo(dot.x + kDotLength, dot.y);
    }
    return result;
}

const ViewPathIndex& MapFramePainter::indexFor(const ViewPath* path) {
    auto it = m_paths.find(path);
    if (it == m_paths.end())
        it = m_paths.try_emplace(path, *path).first;
    return it->second;
}

bool MapFramePainter::outlinesMatch(const MapFrame& frame, QSize pixels, qreal ratio) const {
    if (m_outlines.size() != pixels || m_outlines.devicePixelRatio() != ratio ||
        m_outlinesPaths != frame.pathsGeneration ||
        m_outlineStrokes.size() != frame.cacheableStrokes)
        return false;
    for (std::size_t i = 0; i < frame.cacheableStrokes; ++i) {
        const PathStroke& a = m_outlineStrokes[i];
        const PathStroke& b = frame.strokes[i];
        if (a.path != b.path || !(a.offset == b.offset) || !(a.color == b.color) ||
            a.width != b.width)
            return false;
    }
    return true;
}

std::vector<OutlineBandPainter::Stroke>
MapFramePainter::strokesIn(std::span<const PathStroke> strokes, const QRectF& visible) {
    std::vector<OutlineBandPainter::Stroke> result;
    for (const PathStroke& stroke : strokes) {
        if (!stroke.path)
            continue;
        // Round joins and caps reach half the width from the course; one more for the
        // antialiased edge.
        const auto parts =
            indexFor(stroke.path)
                .visibleParts({visible.x() - stroke.offset.x, visible.y() - stroke.offset.y,
                               visible.width(), visible.height()},
                              stroke.width / 2 + 1);
        if (parts.runs.empty() && parts.dots.empty())
            continue;
        result.push_back({painterPath(parts), roundPen(qColor(stroke.color), stroke.width),
                          QPointF(stroke.offset.x, stroke.offset.y)});
    }
    return result;
}

void MapFramePainter::paintStrokes(QPainter& painter, std::span<const PathStroke> strokes,
                                   const QRectF& visible) {
    OutlineBandPainter::drawStrokes(painter, strokesIn(strokes, visible));
}

bool MapFramePainter::dropInexactOutlines() {
    if (!m_outlinesInexact)
        return false;
    m_outlines = QImage();
    m_ahead.cancel();
    m_outlinesInexact = false;
    return true;
}

void MapFramePainter::scrollOutlines(QPoint shift) {
    const int width = m_outlines.width(), height = m_outlines.height();
    auto row = [&](int y) { return reinterpret_cast<QRgb*>(m_outlines.scanLine(y)); };
    // Rows are copied in the order that reads each source row before it is overwritten; what
    // the move uncovers leaves the valid region and is cleared once it is stroked.
    const int dx = shift.x(), dy = shift.y();
    const int kept = width - std::abs(dx);
    for (int k = 0; k < height; ++k) {
        const int y = dy > 0 ? height - 1 - k : k;
        const int from = y - dy;
        if (from >= 0 && from < height)
            std::memmove(row(y) + std::max(dx, 0), row(from) + std::max(-dx, 0),
                         static_cast<std::size_t>(kept) * sizeof(QRgb));
    }
}

OutlineBandPainter::Band MapFramePainter::bandOf(const QRect& rect, std::span<const PathStroke> strokes,
                                                const QTransform& toImage, const MapFrame& frame) {
    const qreal ratio = m_outlines.devicePixelRatio();
    const QRectF logical(QPointF(rect.topLeft()) / ratio, QSizeF(rect.size()) / ratio);
    OutlineBandPainter::Band band;
    band.rect = rect.translated(-m_outlinesScroll);
    band.ratio = ratio;
    band.transform = toImage * QTransform::fromTranslate(-logical.x(), -logical.y());
    band.strokes = strokesIn(strokes, toImage.inverted().mapRect(logical));
    band.epoch = m_outlinesEpoch;
    band.pathsGeneration = frame.pathsGeneration;
    return band;
}

void MapFramePainter::strokeOutlines(const QRegion& region, std::span<const PathStroke> strokes,
                                     const QTransform& toImage, const MapFrame& frame) {
    const qreal ratio = m_outlines.devicePixelRatio();
    auto logical = [ratio](const QRect& r) {
        return QRectF(QPointF(r.topLeft()) / ratio, QSizeF(r.size()) / ratio);
    };
    // A region torn into many pieces (bands taken in around it) is stroked as one.
    const QRegion pieces =
        region.rectCount() > kMaxStrokedPieces ? QRegion(region.boundingRect()) : region;
    // A large one is cut into stripes that this thread and the band painter's take in turn
    // (the bands ahead of a pan give way), so a busy second core costs no waiting.
    if (const qint64 area = areaOf(pieces); area >= kSharedStrokeArea) {
        std::vector<OutlineBandPainter::Band> bands;
        for (const QRect& stripe : stripesOf(pieces, area / kSharedStripes))
            bands.push_back(bandOf(stripe, strokes, toImage, frame));
        for (const OutlineBandPainter::Painted& painted : m_ahead.paintShared(std::move(bands)))
            copyBand(painted);
        return;
    }
    QPainter layer(&m_outlines);
    layer.setRenderHint(QPainter::Antialiasing);
    const QTransform fromImage = toImage.inverted();
    for (const QRect& piece : pieces) {
        for (int y = piece.top(); y <= piece.bottom(); ++y)
            std::memset(m_outlines.scanLine(y) + piece.left() * sizeof(QRgb), 0,
                        static_cast<std::size_t>(piece.width()) * sizeof(QRgb));
        layer.resetTransform();
        layer.setClipRect(logical(piece));
        layer.setWorldTransform(toImage);
        paintStrokes(layer, strokes, fromImage.mapRect(logical(piece)));
    }
    m_outlinesValid += pieces;
}

void MapFramePainter::takeBandsAhead(const MapFrame& frame) {
    while (const auto painted = m_ahead.takePainted())
        takeBand(*painted, frame);
}

void MapFramePainter::takeBand(const OutlineBandPainter::Painted& painted, const MapFrame& frame) {
    // Paths of another build may join the kept ones inexactly, which only a pan allows.
    if (painted.band.epoch != m_outlinesEpoch ||
        (painted.band.pathsGeneration != frame.pathsGeneration && !frame.panning))
        return;
    if (copyBand(painted) && painted.band.pathsGeneration != frame.pathsGeneration)
        m_outlinesInexact = true;
}

bool MapFramePainter::copyBand(const OutlineBandPainter::Painted& painted) {
    const QRect target = painted.band.rect.translated(m_outlinesScroll);
    const QRegion fresh = (QRegion(target) & QRegion(m_outlines.rect())) - m_outlinesValid;
    if (fresh.isEmpty())
        return false;
    for (const QRect& piece : fresh) {
        const auto bytes = static_cast<std::size_t>(piece.width()) * sizeof(QRgb);
        for (int y = piece.top(); y <= piece.bottom(); ++y)
            std::memcpy(m_outlines.scanLine(y) + piece.left() * sizeof(QRgb),
                        painted.image.constScanLine(y - target.top()) +
                            (piece.left() - target.left()) * sizeof(QRgb),
                        bytes);
    }
    m_outlinesValid += fresh;
    return true;
}

void MapFramePainter::strokeBandAhead(std::span<const PathStroke> strokes,
                                      const QTransform& toImage, const MapFrame& frame) {
    if (m_ahead.busy())
        return;
    // Beyond the region the caches hold, the paths lack what lies there.
    const qreal ratio = m_outlines.devicePixelRatio();
    const ViewRect& extent = frame.outlinesExtent;
    const QRectF reach = toImage.mapRect(QRectF(extent.x, extent.y, extent.width, extent.height));
    const QRect complete(QPoint(static_cast<int>(std::ceil(reach.left() * ratio)),
                                static_cast<int>(std::ceil(reach.top() * ratio))),
                         QPoint(static_cast<int>(std::floor(reach.right() * ratio)) - 1,
                                static_cast<int>(std::floor(reach.bottom() * ratio)) - 1));
    QRegion missing = (QRegion(m_outlines.rect()) & QRegion(complete)) - m_outlinesValid;
    // The parts of the margin the view moves towards first, nearest the view first: the image
    // moves the other way. Bands are thin, so the next frames find the nearest ones painted.
    const int w = m_outlines.width(), h = m_outlines.height(), m = kAheadMargin;
    const int aheadX = -m_lastScroll.x(), aheadY = -m_lastScroll.y();
    const struct {
        QRect rect;
        int towards;
        Qt::Edge nearEdge;
    } parts[] = {{QRect(w - m, m, m, h - 2 * m), aheadX, Qt::LeftEdge},
                 {QRect(0, m, m, h - 2 * m), -aheadX, Qt::RightEdge},
                 {QRect(m, h - m, w - 2 * m, m), aheadY, Qt::TopEdge},
                 {QRect(m, 0, w - 2 * m, m), -aheadY, Qt::BottomEdge},
                 {QRect(w - m, h - m, m, m), aheadX + aheadY, Qt::LeftEdge},
                 {QRect(0, h - m, m, m), -aheadX + aheadY, Qt::RightEdge},
                 {QRect(w - m, 0, m, m), aheadX - aheadY, Qt::LeftEdge},
                 {QRect(0, 0, m, m), -aheadX - aheadY, Qt::RightEdge}};
    for (int count = 0; count < kBandsAhead && !missing.isEmpty(); ++count) {
        QRect band;
        int best = INT_MIN;
        for (const auto& part : parts) {
            QRect found = (missing & QRegion(part.rect)).boundingRect();
            if (found.isEmpty() || part.towards <= best)
                continue;
            switch (part.nearEdge) {
            case Qt::LeftEdge:
                found.setRight(std::min(found.right(), found.left() + kBandThickness - 1));
                break;
            case Qt::RightEdge:
                found.setLeft(std::max(found.left(), found.right() - kBandThickness + 1));
                break;
            case Qt::TopEdge:
                found.setBottom(std::min(found.bottom(), found.top() + kBandThickness - 1));
                break;
            case Qt::BottomEdge:
                found.setTop(std::max(found.top(), found.bottom() - kBandThickness + 1));
                break;
            }
            band = found;
            best = part.towards;
        }
        missing -= band;
        m_ahead.start(bandOf(band, strokes, toImage, frame));
    }
}

void MapFramePainter::updateOutlines(const MapFrame& frame, QSize pixels, qreal ratio) {
    const std::span<const PathStroke> strokes(frame.strokes.data(), frame.cacheableStrokes);
    const QSize size = pixels + QSize(2 * kAheadMargin, 2 * kAheadMargin);
    const QRect view(QPoint(kAheadMargin, kAheadMargin), pixels);
    if (outlinesMatch(frame, size, ratio)) {
        takeBandsAhead(frame);
        return;
    }
    // Only the view moved: the image is scrolled by whole device pixels and only what it
    // lacks of the view is stroked (clipped, so no pixel is painted twice). A move by a
    // fraction of a pixel (a pan along the meridians on the Mercator map), or a rebuild of the
    // caches whose paths were thinned from other starts, leaves the image up to half a device
    // pixel from its exact place: that is taken only while a pan lasts, and the missing parts
    // are stroked where the image is.
    const double sx = (m_outlinesPosition.x - frame.viewPosition.x) * ratio;
    const double sy = (m_outlinesPosition.y - frame.viewPosition.y) * ratio;
    const int dx = static_cast<int>(std::lround(sx)), dy = static_cast<int>(std::lround(sy));
    ViewPoint position{m_outlinesPosition.x - dx / ratio, m_outlinesPosition.y - dy / ratio};
    QPointF misplaced(frame.viewPosition.x - position.x, frame.viewPosition.y - position.y);
    constexpr double kExact = 1e-3;
    const bool inexact = m_outlinesInexact || m_outlinesPaths != frame.pathsGeneration ||
                         std::abs(misplaced.x()) * ratio > kExact ||
                         std::abs(misplaced.y()) * ratio > kExact;
    if (m_outlines.size() == size && m_outlines.devicePixelRatio() == ratio &&
        m_outlinesGeneration == frame.outlinesGeneration && std::abs(dx) < size.width() &&
        std::abs(dy) < size.height() && (frame.panning || !inexact)) {
        scrollOutlines({dx, dy});
        m_outlinesValid.translate(dx, dy);
        m_outlinesValid &= m_outlines.rect();
        m_outlinesScroll += QPoint(dx, dy);
        if (dx != 0 || dy != 0)
            m_lastScroll = {dx, dy};
        m_outlinesInexact = inexact;
    } else {
        // Pixels outside the valid region are cleared where they are stroked, so an image of
        // the same size is kept as it is.
        if (m_outlines.size() != size || m_outlines.devicePixelRatio() != ratio) {
            m_outlines = QImage(size, QImage::Format_ARGB32_Premultiplied);
            m_outlines.setDevicePixelRatio(ratio);
        }
        m_outlinesValid = QRegion();
        m_outlinesScroll = {};
        ++m_outlinesEpoch;
        m_ahead.cancel();
        m_outlinesInexact = false;
        position = frame.viewPosition;
        misplaced = {};
    }
    m_outlineStrokes.assign(strokes.begin(), strokes.end());
    m_outlinesPaths = frame.pathsGeneration;
    m_outlinesGeneration = frame.outlinesGeneration;
    m_outlinesPosition = position;

    takeBandsAhead(frame);
    const QTransform toImage = QTransform::fromTranslate(kAheadMargin / ratio + misplaced.x(),
                                                         kAheadMargin / ratio + misplaced.y());
    const QRegion missing = QRegion(view) - m_outlinesValid;
    if (!missing.isEmpty())
        strokeOutlines(missing, strokes, toImage, frame);
    if (frame.panning)
        strokeBandAhead(strokes, toImage, frame);
}

void MapFramePainter::paint(QPainter& painter, const MapFrame& frame, const QRectF& visible,
                            QSizeF viewSize) {
    if (frame.pathsGeneration != m_pathsGeneration) {
        m_paths.clear();
        m_pathsGeneration = frame.pathsGeneration;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    std::span<const PathStroke> strokes(frame.strokes);
    if (frame.cacheableStrokes > 0 && !viewSize.isEmpty()) {
        const qreal ratio = painter.device()->devicePixelRatioF();
        const QSize pixels = (viewSize * ratio).toSize();
        updateOutlines(frame, pixels, ratio);
        painter.drawImage(visible, m_outlines,
                          QRectF(visible.topLeft() * ratio + QPointF(kAheadMargin, kAheadMargin),
                                 visible.size() * ratio));
        strokes = strokes.subspan(frame.cacheableStrokes);
    }
    paintStrokes(painter, strokes, visible);

    painter.setPen(Qt::NoPen);
    for (const WaypointMarker& marker : frame.waypoints) {
        const QPointF centre(marker.position.x, marker.position.y);
        painter.setBrush(qColor(marker.outlineColor));
        painter.drawEllipse(centre, marker.outlineWidth / 2, marker.outlineWidth / 2);
        painter.setBrush(qColor(marker.fillColor));
        painter.drawEllipse(centre, marker.fillWidth / 2, marker.fillWidth / 2);
    }

    for (const WaypointLabel& label : frame.labels)
        paintLabel(painter, label);

    if (frame.scaleBar)
        paintScaleBar(painter, *frame.scaleBar);
    painter.restore();
}

QImage MapFramePainter::labelImage(const QString& text, qreal devicePixelRatio) {
    if (devicePixelRatio != m_labelImagesRatio || m_labelImages.size() > kMaxLabelImages) {
        m_labelImages.clear();
        m_labelImagesRatio = devicePixelRatio;
    }
    if (auto it = m_labelImages.constFind(text); it != m_labelImages.constEnd())
        return *it;

    const QFontMetricsF metrics(m_labelFont);
    const double inset = kLabelShadowInset;
    const QSizeF logicalSize(metrics.horizontalAdvance(text) + 2 * inset,
                             metrics.height() + 2 * inset);
    const QSize deviceSize(static_cast<int>(std::ceil(logicalSize.width() * devicePixelRatio)),
                           static_cast<int>(std::ceil(logicalSize.height() * devicePixelRatio)));
    QImage image(deviceSize, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    const QPointF baseline(inset, inset + metrics.ascent());
    {
        QPainter shadowPainter(&image);
        shadowPainter.setRenderHint(QPainter::TextAntialiasing);
        shadowPainter.setFont(m_labelFont);
        shadowPainter.setPen(Qt::black);
        shadowPainter.drawText(baseline, text);
    }

    // A Gaussian of deviation r / 2 has about the look of a shadow with blur radius r.
    const double sigma = MapFrame::kLabelShadowBlurRadius / 2 * devicePixelRatio;
    const int boxRadius =
        std::max(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
    const int width = image.width(), height = image.height();
    std::vector<unsigned char> alpha(static_cast<std::size_t>(width) *
                                     static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            alpha[static_cast<std::size_t>(y) * width + x] =
                static_cast<unsigned char>(qAlpha(row[x]));
    }
    boxBlur(alpha, width, height, boxRadius);
    const double shadowAlpha = MapFrame::kLabelShadowColor.alpha;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int a = static_cast<int>(
                std::lround(alpha[static_cast<std::size_t>(y) * width + x] * shadowAlpha));
            row[x] = qRgba(0, 0, 0, a); // black: premultiplied and plain are the same
        }
    }

    QPainter textPainter(&image);
    textPainter.setRenderHint(QPainter::TextAntialiasing);
    textPainter.setFont(m_labelFont);
    textPainter.setPen(qColor(MapFrame::kLabelColor));
    textPainter.drawText(baseline, text);
    textPainter.end();

    m_labelImages.insert(text, image);
    return image;
}

void MapFramePainter::paintLabel(QPainter& painter, const WaypointLabel& label) {
    const QString text = QString::fromStdString(label.text);
    if (text.isEmpty())
        return;
    const QFontMetricsF metrics(m_labelFont);
    // The device's own ratio is not the whole story: rendering into an image of another ratio
    // scales the device transform instead.
    const qreal ratio = std::max<qreal>(1, std::abs(painter.deviceTransform().m11()));
    const QImage image = labelImage(text, ratio);
    // On whole device pixels, so the text is not resampled.
    auto snapped = [ratio](double logical) { return std::round(logical * ratio) / ratio; };
    const QPointF topLeft(snapped(label.origin.x - kLabelShadowInset),
                          snapped(label.origin.y - metrics.height() / 2 - kLabelShadowInset));
    painter.drawImage(topLeft, image);
}

void MapFramePainter::paintScaleBar(QPainter& painter, const MapScaleBar& bar) {
    const QRectF rect(bar.barRect.x, bar.barRect.y, bar.barRect.width, bar.barRect.height);
    painter.setPen(Qt::NoPen);
    painter.fillRect(rect, qColor(MapScaleBar::kFillColor));

    painter.setPen(
        QPen(qColor(MapScaleBar::kTickColor), MapScaleBar::kTickWidth, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.drawLine(rect.topRight(), rect.bottomRight());

    QFont font = m_labelFont;
    font.setPixelSize(static_cast<int>(MapScaleBar::kFontSize));
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(qColor(MapScaleBar::kTextColor));
    painter.drawText(
        QPointF(bar.textOrigin.x, bar.textOrigin.y - metrics.height() / 2 + metrics.ascent()),
        QString::fromStdString(bar.text));
}

} // namespace wend
