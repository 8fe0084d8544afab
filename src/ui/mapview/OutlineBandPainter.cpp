#include "ui/mapview/OutlineBandPainter.h"

#include <QPainter>
#include <utility>

namespace wend {

OutlineBandPainter::OutlineBandPainter() {
    m_pool.setMaxThreadCount(1);
}

OutlineBandPainter::~OutlineBandPainter() {
    cancel();
    m_pool.waitForDone();
}

void OutlineBandPainter::drawStrokes(QPainter& painter, std::span<const Stroke> strokes,
                                     const std::atomic<bool>* cancelled) {
    const QTransform base = painter.worldTransform();
    painter.setBrush(Qt::NoBrush);
    for (const Stroke& stroke : strokes) {
        if (cancelled && cancelled->load(std::memory_order_relaxed))
            break;
        painter.setWorldTransform(QTransform::fromTranslate(stroke.offset.x(), stroke.offset.y()) * base);
        painter.setPen(stroke.pen);
        painter.drawPath(stroke.path);
    }
    painter.setWorldTransform(base);
}

bool OutlineBandPainter::covers(const QRect& rect) const {
    return m_current && m_current->band.rect.intersects(rect);
}

void OutlineBandPainter::paint(Job& job) {
    const Band& band = job.band;
    job.image = QImage(band.rect.size(), QImage::Format_ARGB32_Premultiplied);
    job.image.setDevicePixelRatio(band.ratio);
    job.image.fill(Qt::transparent);
    QPainter painter(&job.image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setWorldTransform(band.transform);
    drawStrokes(painter, band.strokes, &job.cancelled);
}

void OutlineBandPainter::start(Band band) {
    cancel();
    auto job = std::make_shared<Job>();
    job->band = std::move(band);
    m_current = job;
    m_pool.start([job] {
        paint(*job);
        job->band.strokes.clear();
        job->done.store(true, std::memory_order_release);
    });
}

std::optional<OutlineBandPainter::Painted> OutlineBandPainter::takePainted() {
    if (!m_current || !m_current->done.load(std::memory_order_acquire))
        return std::nullopt;
    const std::shared_ptr<Job> job = std::exchange(m_current, nullptr);
    if (job->cancelled.load(std::memory_order_relaxed))
        return std::nullopt;
    return Painted{std::move(job->band), std::move(job->image)};
}

void OutlineBandPainter::cancel() {
    if (m_current)
        m_current->cancelled.store(true, std::memory_order_relaxed);
    m_current = nullptr;
}

void OutlineBandPainter::wait() {
    m_pool.waitForDone();
}

} // namespace wend
