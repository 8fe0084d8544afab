#pragma once

#include "core/mapview/MapFrame.h"
#include "core/mapview/ViewPathIndex.h"
#include "ui/mapview/OutlineBandPainter.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QRegion>
#include <QString>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

class QPainter;

namespace wend {

// Paints a MapFrame with QPainter in logical coordinates, antialiased: the painter's device
// pixel ratio does the rest, so lines and text are as sharp as the screen allows. Pen widths
// are logical points (not cosmetic), so tracks keep their size on every screen.
//
// The frame's paths belong to the renderer's caches; their indexes are kept here until
// clearPathCache, which must run whenever the renderer is about to change its caches, or a
// frame of other paths (caches built ahead of a pan may be taken up while it is made). Only
// the parts of a path that can show in the painted rectangle are stroked.
class MapFramePainter {
public:
    static constexpr double kLabelShadowInset = 2 * MapFrame::kLabelShadowBlurRadius;

    MapFramePainter();

    void clearPathCache() { m_paths.clear(); }
    // `visible` is the rectangle to paint, in the painter's coordinates. With the view's size
    // the items' outlines are kept as an image while the frames bring the same ones (a drag
    // that changes selections or moves a few points repaints only what changes); when only
    // the view moved, the image is scrolled and only the strips it uncovers are stroked.
    void paint(QPainter& painter, const MapFrame& frame, const QRectF& visible,
               QSizeF viewSize = {});

    // Waits until the bands of outlines stroked ahead of a pan are painted (the next paint
    // takes them).
    void finishStrokesAhead() { m_ahead.wait(); }

    // A kept image scrolled with the view may lie up to half a device pixel from its exact
    // place, or join strokes of two cache builds whose points were thinned from different
    // starts. This drops such an image (at the end of a pan), so the next paint strokes the
    // outlines whole; true if it did.
    bool dropInexactOutlines();

    static QColor qColor(RGBAColor color);
    // Runs as open subpaths; a dot as a subpath too short to see, which round caps turn into
    // a disc of the pen's width (a subpath of length zero would not be drawn at all).
    static QPainterPath painterPath(const ViewPathIndex::VisibleParts& parts);
    // The name with its soft dark shadow, at the given device pixel ratio; the text's top-left
    // corner lies kLabelShadowInset points inside the image's.
    QImage labelImage(const QString& text, qreal devicePixelRatio);
    const QFont& labelFont() const { return m_labelFont; }

private:
    const ViewPathIndex& indexFor(const ViewPath* path);
    // The parts of the strokes that can show in `visible`, as Qt paths with their pens.
    std::vector<OutlineBandPainter::Stroke> strokesIn(std::span<const PathStroke> strokes,
                                                      const QRectF& visible);
    void paintStrokes(QPainter& painter, std::span<const PathStroke> strokes,
                      const QRectF& visible);
    bool outlinesMatch(const MapFrame& frame, QSize pixels, qreal ratio) const;
    // Brings the kept image of the outlines up to the frame: kept, scrolled and completed, or
    // painted whole; then, while a pan lasts, has the next band around the view stroked ahead.
    void updateOutlines(const MapFrame& frame, QSize pixels, qreal ratio);
    // Moves the image's pixels by the shift (device pixels).
    void scrollOutlines(QPoint shift);
    // Clears and strokes the image's pixels of `region` (device pixels), each once; `toImage`
    // takes the strokes' coordinates to the image's logical ones.
    void strokeOutlines(const QRegion& region, std::span<const PathStroke> strokes,
                        const QTransform& toImage, const MapFrame& frame);
    // A band of the image (device pixels) for the band painter to stroke.
    OutlineBandPainter::Band bandOf(const QRect& rect, std::span<const PathStroke> strokes,
                                    const QTransform& toImage, const MapFrame& frame);
    // Copies in the bands painted ahead where the image still lacks them, if they fit it.
    void takeBandsAhead(const MapFrame& frame);
    void takeBand(const OutlineBandPainter::Painted& painted, const MapFrame& frame);
    // Copies a painted band in where the image still lacks it; true if it did.
    bool copyBand(const OutlineBandPainter::Painted& painted);
    void strokeBandAhead(std::span<const PathStroke> strokes, const QTransform& toImage,
                         const MapFrame& frame);
    void paintLabel(QPainter& painter, const WaypointLabel& label);
    void paintScaleBar(QPainter& painter, const MapScaleBar& bar);

    std::unordered_map<const ViewPath*, ViewPathIndex> m_paths;
    std::uint64_t m_pathsGeneration = 0;
    // The outlines of the view and of a margin around it, where a pan's next frames find them
    // stroked ahead; `m_outlinesValid` holds the pixels painted for the current outlines.
    QImage m_outlines;
    QRegion m_outlinesValid;
    // Bumped whenever the image is painted afresh: a band painted for an older one is dropped.
    std::uint64_t m_outlinesEpoch = 0;
    // The image's scroll since it was painted afresh: bands are placed on that grid.
    QPoint m_outlinesScroll;
    QPoint m_lastScroll;
    OutlineBandPainter m_ahead;
    std::vector<PathStroke> m_outlineStrokes;
    std::uint64_t m_outlinesPaths = 0;
    std::uint64_t m_outlinesGeneration = 0;
    ViewPoint m_outlinesPosition;
    bool m_outlinesInexact = false;
    QFont m_labelFont;
    QHash<QString, QImage> m_labelImages;
    qreal m_labelImagesRatio = 0;
};

} // namespace wend
