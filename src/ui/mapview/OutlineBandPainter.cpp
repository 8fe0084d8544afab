#include "ui/mapview/OutlineBandPainter.h"

#include <QPainter>

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
        painter.setWorldTransform(QTransform::fromTranslate(stroke.offset.x(), stroke.offset.y()) *
                                  base);
        painter.setPen(stroke.pen);
        painter.drawPath(stroke.path);
    }
    painter.setWorldTransform(base);
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
    auto job = std::make_shared<Job>();
    job->band = std::move(band);
    m_jobs.push_back(job);
    m_pool.start([job] {
        paint(*job);
        job->band.strokes.clear();
        job->done.store(true, std::memory_order_release);
    });
}

std::optional<OutlineBandPainter::Painted> OutlineBandPainter::takePainted() {
    if (m_jobs.empty() || !m_jobs.front()->done.load(std::memory_order_acquire))
        return std::nullopt;
    const std::shared_ptr<Job> job = std::move(m_jobs.front());
    m_jobs.pop_front();
    return Painted{std::move(job->band), std::move(job->image)};
}

void OutlineBandPainter::cancel() {
    for (const auto& job : m_jobs)
        job->cancelled.store(true, std::memory_order_relaxed);
    m_jobs.clear();
}

void OutlineBandPainter::wait() {
    m_pool.waitForDone();
}

std::vector<OutlineBandPainter::Painted> OutlineBandPainter::paintShared(std::vector<Band> bands) {
    cancel();
    std::vector<std::unique_ptr<Job>> jobs;
    for (Band& band : bands) {
        jobs.push_back(std::make_unique<Job>());
        jobs.back()->band = std::move(band);
    }
    // Both threads are done with the jobs before they go: the pool is waited for below.
    std::atomic<std::size_t> next{0};
    auto work = [&jobs, &next] {
        for (std::size_t i; (i = next.fetch_add(1)) < jobs.size();)
            paint(*jobs[i]);
    };
    m_pool.start(work);
    work();
    m_pool.waitForDone();
    std::vector<Painted> painted;
    for (const auto& job : jobs) {
        job->band.strokes.clear();
        painted.push_back({std::move(job->band), std::move(job->image)});
    }
    return painted;
}

} // namespace wend
