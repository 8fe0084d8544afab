#pragma once

#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QThreadPool>
#include <QTransform>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace wend {

// Strokes bands of the outlines on a thread of its own while the map pans, so that the frame
// which uncovers a band finds it painted. A band carries its own copies of what it strokes
// (Qt paths and pens, shared by value), never the renderer's paths, which a rebuild may replace
// meanwhile; whoever takes the finished image decides whether it still fits. One band at a time.
class OutlineBandPainter {
public:
    // One path stroked with its pen, moved by `offset` (logical points).
    struct Stroke {
        QPainterPath path;
        QPen pen;
        QPointF offset;
    };
    struct Band {
        // In device pixels of the kept image's grid, as the caller counts it.
        QRect rect;
        qreal ratio = 1;
        // From the strokes' coordinates to the band's logical coordinates.
        QTransform transform;
        std::vector<Stroke> strokes;
        // What the caller needs to tell whether the band still fits.
        std::uint64_t epoch = 0;
        std::uint64_t pathsGeneration = 0;
    };
    struct Painted {
        Band band; // without its strokes
        QImage image;
    };

    OutlineBandPainter();
    ~OutlineBandPainter();
    OutlineBandPainter(const OutlineBandPainter&) = delete;
    OutlineBandPainter& operator=(const OutlineBandPainter&) = delete;

    // Strokes in order, each with its offset before the painter's transform; stops early once
    // `cancelled` is set.
    static void drawStrokes(QPainter& painter, std::span<const Stroke> strokes,
                            const std::atomic<bool>* cancelled = nullptr);

    // A band is under way or painted and not yet taken.
    bool busy() const { return m_current != nullptr; }
    bool covers(const QRect& rect) const;
    void start(Band band);
    // The band once it is painted (taking it frees the painter for the next); nothing while it
    // is under way, or when it was cancelled.
    std::optional<Painted> takePainted();
    // The band under way is no longer wanted: it stops at its next stroke and is never handed out.
    void cancel();
    // Waits until the band under way is painted.
    void wait();

private:
    struct Job {
        Band band;
        QImage image;
        std::atomic<bool> cancelled{false};
        std::atomic<bool> done{false};
    };
    static void paint(Job& job);

    QThreadPool m_pool;
    std::shared_ptr<Job> m_current;
};

} // namespace wend
