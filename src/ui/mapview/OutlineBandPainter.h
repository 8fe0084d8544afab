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
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace wend {

// Strokes bands of the outlines on a thread of its own while the map pans, so that the frame
// which uncovers a band finds it painted. A band carries its own copies of what it strokes
// (Qt paths and pens, shared by value), never the renderer's paths, which a rebuild may replace
// meanwhile; whoever takes the finished image decides whether it still fits. Bands are painted
// one after another, in the order they were started.
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

    // Bands are under way or painted and not yet taken.
    bool busy() const { return !m_jobs.empty(); }
    void start(Band band);
    // The first band started, once it is painted; nothing while it is under way.
    std::optional<Painted> takePainted();
    // The bands under way are no longer wanted: they stop at their next stroke and are never
    // handed out.
    void cancel();
    // Waits until the bands under way are painted.
    void wait();
    // Paints the bands at once on this thread and the painter's own, each taking the next band
    // not yet begun, so the work splits by what each core gets done meanwhile; the bands under
    // way are cancelled first. Returns them painted, in order.
    std::vector<Painted> paintShared(std::vector<Band> bands);

private:
    struct Job {
        Band band;
        QImage image;
        std::atomic<bool> cancelled{false};
        std::atomic<bool> done{false};
    };
    static void paint(Job& job);

    QThreadPool m_pool;
    std::deque<std::shared_ptr<Job>> m_jobs;
};

} // namespace wend
