#include "core/mapview/DrawingCacheBuildAhead.h"

#include <utility>

namespace wend {

void DrawingCacheBuildAhead::start(Request request) {
    cancel();
    m_request = std::move(request);
    m_built.clear();
    m_cancelled.store(false);
    m_done.store(false);
    m_thread = std::thread([this] { run(); });
}

void DrawingCacheBuildAhead::run() {
    const Request& request = *m_request;
    m_built.reserve(request.sources.size());
    for (std::size_t i = 0; i < request.sources.size() && !m_cancelled.load(std::memory_order_relaxed); ++i)
        m_built.push_back(GPSViewDrawingCache::fromProjected(request.sources[i], *request.entries[i],
                                                                    request.screen, request.center,
                                                                    request.region, {}, m_buffer));
    m_done.store(true, std::memory_order_release);
}

void DrawingCacheBuildAhead::wait() {
    if (m_thread.joinable())
        m_thread.join();
}

DrawingCacheBuildAhead::Caches DrawingCacheBuildAhead::take() {
    wait();
    m_request.reset();
    return std::exchange(m_built, Caches{});
}

void DrawingCacheBuildAhead::cancel() {
    m_cancelled.store(true, std::memory_order_relaxed);
    wait();
    m_request.reset();
    m_built.clear();
}

} // namespace wend
