#pragma once

#include "core/mapview/GPSViewDrawingCache.h"
#include "core/mapview/ProjectedPointCache.h"
#include "core/mapview/ScreenTransform.h"
#include "core/mapview/ViewCullRegion.h"

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace wend {

// Builds the drawing caches for the centre a pan is heading to on a thread of its own, while
// the window's thread goes on drawing from the current ones. A build reads only what it was
// handed: the items' selections and counts copied beforehand (never the items), and the
// projected points' entries, which their owner leaves untouched until the build is taken or
// cancelled. One build at a time.
class DrawingCacheBuildAhead {
public:
    struct Request {
        // One per cache, in the order of the caches.
        std::vector<GPSViewDrawingCache::Source> sources;
        std::vector<const ProjectedPointCache::Entry*> entries;
        ScreenTransform screen;
        WorldPoint center;
        ViewCullRegion region;
    };
    using Caches = std::vector<std::unique_ptr<GPSViewDrawingCache>>;

    DrawingCacheBuildAhead() = default;
    DrawingCacheBuildAhead(const DrawingCacheBuildAhead&) = delete;
    DrawingCacheBuildAhead& operator=(const DrawingCacheBuildAhead&) = delete;
    ~DrawingCacheBuildAhead() { cancel(); }

    void start(Request request);
    // A build was started and is neither taken nor cancelled.
    bool underWay() const { return m_request.has_value(); }
    // The build under way has finished: take() will not wait.
    bool finished() const { return underWay() && m_done.load(std::memory_order_acquire); }
    // The centre the build under way is for.
    WorldPoint center() const { return m_request ? m_request->center : WorldPoint{}; }
    // Waits until the build under way has finished.
    void wait();
    // Waits for the build under way and hands out its caches.
    Caches take();
    // Stops the build under way at its next item and forgets it.
    void cancel();

private:
    void run();

    std::thread m_thread;
    std::optional<Request> m_request;
    Caches m_built;
    // Scratch room for a track's screen positions, kept between builds: a large track's
    // buffer would otherwise be faulted in afresh each time.
    std::vector<ViewPoint> m_buffer;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_done{false};
};

} // namespace wend
