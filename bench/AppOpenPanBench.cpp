// Opens a large GPX file in the application as a user would (document controller, loading
// panel, the default window of 1100 x 720 with the web map, the drawing overlay and the
// statistics pane open), then pans the map with Space-drags, and prints:
//   - the time from asking to open the file until the map has drawn a frame showing the
//     tracks, and until the statistics pane shows the file's figures,
//   - how long the event loop went unserved while the file was read,
//   - for each pan (500 frames each): the time of every frame from the mouse event to the
//     repainted window (wall clock and the main thread's CPU time: median, 99th percentile,
//     worst), the frames that rebuilt the drawing caches, and the longest run of frames on
//     which the tracks were missing where they lie (empty or stale).
// Frames come at most 60 times a second, as from a mouse: what the application does in the
// time left over is its own, and every frame it paints then is timed too.
//
//   bench_app_open_pan FILE.gpx
//
// With WEND_BENCH_FIGURES=PATH the figures are also written to PATH, one "name value" a line
// (run-all.sh sets it to compare with another build). The program uses only what the
// application has had for long, so it also measures earlier versions.
//
// Runs without a display (offscreen); the map page asks for tiles from an address where
// nothing listens, so only the drawing of the items is measured.

#include "AppBench.h"
#include "core/document/WendDocument.h"
#include "core/mapview/GPSViewDrawingCache.h"
#include "ui/app/DocumentController.h"
#include "ui/app/DocumentWindow.h"
#include "ui/app/LoadingPanel.h"
#include "ui/app/StatisticsPane.h"
#include "ui/mapview/GPSView.h"

#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QPointer>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>

namespace {

using namespace wend;
using bench::millisecondsSince;
using bench::sendMouse;

constexpr int kFrames = 500;
constexpr double kFrameInterval = 1000.0 / 60;

double threadCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The figures, printed at the end in the order they were taken.
std::vector<std::pair<std::string, double>> g_figures;
void figure(const std::string& name, double value) {
    g_figures.emplace_back(name, value);
}

// Watches the event loop while a file is read: a timer that should fire every 10 ms records
// the longest gap between its firings and whether a loading panel was on screen.
class ResponsivenessProbe : public QObject {
public:
    ResponsivenessProbe() {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    }
    void start() {
        m_sinceTick.start();
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    double longestGap() const { return m_longestGap; }
    int ticks() const { return m_ticks; }
    bool panelSeen() const { return m_panelSeen; }

private:
    void tick() {
        m_longestGap = std::max(m_longestGap, millisecondsSince(m_sinceTick));
        m_sinceTick.restart();
        ++m_ticks;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* panel = qobject_cast<LoadingPanel*>(widget); panel && panel->isVisible())
                m_panelSeen = true;
    }

    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    double m_longestGap = 0;
    int m_ticks = 0;
    bool m_panelSeen = false;
};

// Times every paint of the map view, also those the application does on its own between
// mouse events, by delivering the paint event itself.
class PaintClock : public QObject {
public:
    struct Paint {
        double wall = 0, cpu = 0;
    };

    explicit PaintClock(QWidget& view) : m_view(view) {
        view.installEventFilter(this);
        m_sinceStart.start();
    }
    // The window, and the view with it, may be gone already.
    ~PaintClock() override {
        if (m_watched)
            m_watched->removeEventFilter(this);
    }

    std::vector<Paint> take() { return std::exchange(m_paints, {}); }
    int count() const { return m_count; }
    // When the last paint ended, in milliseconds since `since` was started.
    double lastPaintEnd(const QElapsedTimer& since) const {
        return millisecondsSince(since) - (millisecondsSince(m_sinceStart) - m_lastEnd);
    }
    // The benchmark's own renderings are not frames.
    void setIgnoring(bool ignoring) { m_ignoring = ignoring; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &m_view || event->type() != QEvent::Paint || m_ignoring)
            return false;
        QElapsedTimer wall;
        wall.start();
        const double cpu = threadCpuMilliseconds();
        static_cast<QObject&>(m_view).event(event);
        m_paints.push_back({millisecondsSince(wall), threadCpuMilliseconds() - cpu});
        ++m_count;
        m_lastEnd = millisecondsSince(m_sinceStart);
        return true;
    }

private:
    QWidget& m_view;
    QPointer<QWidget> m_watched{&m_view};
    QElapsedTimer m_sinceStart;
    double m_lastEnd = 0;
    bool m_ignoring = false;
    std::vector<Paint> m_paints;
    int m_count = 0;
};

struct Percentiles {
    double median = 0, p99 = 0, worst = 0;
};

Percentiles percentilesOf(std::vector<double> values) {
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    auto at = [&](double q) {
        return values[std::min(values.size() - 1, static_cast<std::size_t>(q * static_cast<double>(values.size())))];
    };
    return {at(0.5), at(0.99), values.back()};
}

class Bench {
public:
    Bench(DocumentWindow& window, PaintClock& clock) : m_window(window), m_view(*window.gpsView()), m_clock(clock) {}

    // The tracks' points, read once the document is open.
    void readTracks() {
        for (const auto& item : m_window.document().permanentItems()) {
            if (item->itemType() == GPSItemType::Waypoint)
                continue;
            for (const auto& point : item->itemPoints())
                m_track.push_back({point->longitude(), point->latitude()});
        }
        const std::size_t step = std::max<std::size_t>(1, m_track.size() / 20000);
        for (std::size_t i = 0; i < m_track.size(); i += step)
            m_samples.push_back(m_track[i]);
    }

    GPSView& view() { return m_view; }
    const std::vector<WorldPoint>& track() const { return m_track; }
    PaintClock& clock() { return m_clock; }

    // Whether the tracks show where they lie in the view: every sampled point inside it has
    // drawing under it. Nothing to judge (true) when no sampled point is in view.
    bool tracksShown() {
        QImage image(m_view.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        m_clock.setIgnoring(true);
        m_view.render(&image);
        m_clock.setIgnoring(false);
        const double inset = 6;
        int inside = 0, covered = 0;
        for (const WorldPoint& p : m_samples) {
            const ViewPoint s = m_view.geometry().transformWorldToScreen(p);
            if (!(s.x >= inset && s.y >= inset && s.x < m_view.width() - inset && s.y < m_view.height() - inset))
                continue;
            ++inside;
            const int x = static_cast<int>(s.x), y = static_cast<int>(s.y);
            bool drawn = false;
            for (int dy = -1; dy <= 1 && !drawn; ++dy)
                for (int dx = -1; dx <= 1 && !drawn; ++dx)
                    drawn = qAlpha(image.pixel(x + dx, y + dy)) > 0;
            covered += drawn ? 1 : 0;
        }
        return inside < 5 || covered >= inside * 9 / 10;
    }

    // Where the caches were built: it changes when a frame rebuilt them.
    WorldPoint cacheCenter() const {
        const auto& caches = m_view.renderer().cachedDrawingData();
        return caches.empty() ? WorldPoint{NAN, NAN} : caches.front()->cachedCenter();
    }
    std::size_t cachedOutlinePoints() const {
        std::size_t count = 0;
        for (const auto& cache : m_view.renderer().cachedDrawingData())
            count += cache->completePath().pointCount();
        return count;
    }

    // One Space-drag of kFrames pointer moves; `offset` gives the pointer's position at each
    // step relative to where the drag began.
    void pan(const std::string& name, const char* what, const std::function<QPointF(int)>& offset) {
        QTest::keyPress(&m_view, Qt::Key_Space);
        const QPointF start(m_view.width() / 2.0, m_view.height() / 2.0);
        sendMouse(&m_view, QEvent::MouseButtonPress, start, Qt::LeftButton);
        settle();
        std::vector<double> walls, cpus, viewCpus;
        int rebuilds = 0, missing = 0, longestMissing = 0, missingRun = 0, idlePaints = 0;
        for (int i = 1; i <= kFrames; ++i) {
            QElapsedTimer frame;
            frame.start();
            const WorldPoint before = cacheCenter();
            const double cpu = threadCpuMilliseconds();
            sendMouse(&m_view, QEvent::MouseMove, start + offset(i), Qt::LeftButton);
            repaint();
            walls.push_back(millisecondsSince(frame));
            cpus.push_back(threadCpuMilliseconds() - cpu);
            for (const PaintClock::Paint& paint : m_clock.take())
                viewCpus.push_back(paint.cpu);
            const WorldPoint after = cacheCenter();
            if (!(before == after)) {
                ++rebuilds;
                m_rebuildWalls.push_back(walls.back());
                m_rebuildCpus.push_back(cpus.back());
            }
            const bool shown = tracksShown();
            missing += shown ? 0 : 1;
            missingRun = shown ? 0 : missingRun + 1;
            longestMissing = std::max(longestMissing, missingRun);
            // What the application paints between mouse events counts as frames too.
            while (millisecondsSince(frame) < kFrameInterval)
                QCoreApplication::processEvents(QEventLoop::AllEvents,
                                                std::max(1, static_cast<int>(kFrameInterval - millisecondsSince(frame))));
            for (const PaintClock::Paint& paint : m_clock.take()) {
                walls.push_back(paint.wall);
                cpus.push_back(paint.cpu);
                ++idlePaints;
            }
        }
        sendMouse(&m_view, QEvent::MouseButtonRelease, start + offset(kFrames), Qt::NoButton);
        QTest::keyRelease(&m_view, Qt::Key_Space);
        settle();

        const Percentiles wall = percentilesOf(walls), cpu = percentilesOf(cpus);
        const Percentiles viewCpu = percentilesOf(viewCpus);
        std::printf("  pan, %s (zoom %d, %zu points in the cached outline at the end): %d frames "
                    "(+%d painted between them)\n"
                    "    wall: median %.2f ms, 99th percentile %.2f ms, worst %.2f ms; main thread CPU: "
                    "median %.2f ms, 99th percentile %.2f ms, worst %.2f ms\n"
                    "    of which the map view's own paint: CPU median %.2f ms, 99th percentile %.2f ms\n"
                    "    %d frames rebuilt the caches; tracks missing on %d frames, at most %d in a row\n",
                    what, m_view.zoomLevel(), cachedOutlinePoints(), kFrames, idlePaints, wall.median,
                    wall.p99, wall.worst, cpu.median, cpu.p99, cpu.worst, viewCpu.median, viewCpu.p99,
                    rebuilds, missing, longestMissing);
        figure(name + ".wall.p99", wall.p99);
        figure(name + ".wall.worst", wall.worst);
        figure(name + ".cpu.median", cpu.median);
        figure(name + ".cpu.p99", cpu.p99);
        figure(name + ".cpu.worst", cpu.worst);
        figure(name + ".missing.run", longestMissing);
    }

    void printRebuilds() {
        const Percentiles wall = percentilesOf(m_rebuildWalls), cpu = percentilesOf(m_rebuildCpus);
        std::printf("  frames that rebuilt the caches while panning: %zu; wall: median %.2f ms, "
                    "99th percentile %.2f ms, worst %.2f ms; main thread CPU: median %.2f ms, "
                    "99th percentile %.2f ms, worst %.2f ms\n",
                    m_rebuildWalls.size(), wall.median, wall.p99, wall.worst, cpu.median, cpu.p99,
                    cpu.worst);
        figure("rebuild.count", static_cast<double>(m_rebuildWalls.size()));
        figure("rebuild.wall.p99", wall.p99);
        figure("rebuild.cpu.p99", cpu.p99);
        figure("rebuild.cpu.worst", cpu.worst);
    }

    // What the mouse event asked to repaint is painted now, as the event loop would: only the
    // window's dirty regions, into its backing store.
    void repaint() { QCoreApplication::sendPostedEvents(m_view.window(), QEvent::UpdateRequest); }

    // Lets what the application still has to do run out (a second, or until nothing is left).
    void settle() {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        m_clock.take();
    }

    // The middle of the densest stretch: the 256-pixel square at `zoom` holding most points.
    WorldPoint densest(int zoom) const {
        const double worldSize = static_cast<double>(MapViewGeometry::worldSizeForZoom(zoom));
        std::map<std::pair<long long, long long>, std::pair<std::size_t, std::size_t>> cells;
        for (std::size_t i = 0; i < m_track.size(); ++i) {
            const ViewPoint p = MapViewGeometry::projectToWorldPixels(m_track[i].lon, m_track[i].lat, worldSize);
            auto& cell = cells[{static_cast<long long>(std::floor(p.x / 256)), static_cast<long long>(std::floor(p.y / 256))}];
            ++cell.first;
            cell.second = i;
        }
        const auto best = std::max_element(cells.begin(), cells.end(), [](const auto& a, const auto& b) {
            return a.second.first < b.second.first;
        });
        return m_track[best->second.second];
    }
    std::size_t indexOf(WorldPoint point) const {
        return static_cast<std::size_t>(std::find(m_track.begin(), m_track.end(), point) - m_track.begin());
    }

private:
    DocumentWindow& m_window;
    GPSView& m_view;
    PaintClock& m_clock;
    std::vector<WorldPoint> m_track;
    std::vector<WorldPoint> m_samples;
    std::vector<double> m_rebuildWalls, m_rebuildCpus;
};

int run(const QString& path) {
    QGuiApplication::setQuitOnLastWindowClosed(false);
    InMemoryPreferences preferences;
    bench::useUnreachableTiles(preferences);
    preferences.setShowStatistics(true);
    preferences.setShowTooltips(false);
    DocumentController controller(preferences);
    bench::printAlerts(controller);

    // Start-up as the application does it: an empty document whose window starts the web
    // engine. Opening the file then replaces it, as when a user opens a file.
    QElapsedTimer timer;
    timer.start();
    DocumentWindow* empty = controller.newDocument();
    if (!QTest::qWaitForWindowExposed(empty)) {
        std::fprintf(stderr, "bench_app_open_pan: the window was never shown\n");
        return 1;
    }
    QTest::qWait(500);
    std::printf("start-up: empty window with the web map %.0f ms\n", millisecondsSince(timer));

    ResponsivenessProbe probe;
    probe.start();
    timer.restart();
    DocumentWindow* window = controller.openDocument(path);
    const double opened = millisecondsSince(timer);
    probe.stop();
    if (!window) {
        std::fprintf(stderr, "bench_app_open_pan: %s could not be opened\n", qPrintable(path));
        return 1;
    }
    PaintClock clock(*window->gpsView());
    Bench bench(*window, clock);
    // The first frame that shows the tracks, painted by the event loop.
    double firstFrame = -1;
    for (int paints = 0; firstFrame < 0 && timer.elapsed() < 60000;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (clock.count() == paints)
            continue;
        const double at = clock.lastPaintEnd(timer);
        paints = clock.count();
        if (bench.track().empty())
            bench.readTracks();
        if (bench.tracksShown())
            firstFrame = at;
    }
    const StatisticsPane& pane = *window->statisticsPane();
    auto statisticsShown = [&] {
        for (const auto& row : pane.statistics())
            if (row.label == "Number of Points")
                return true;
        return false;
    };
    while (!statisticsShown() && timer.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double statistics = millisecondsSince(timer);
    bench.settle();
    const double fileMegabytes = static_cast<double>(QFileInfo(path).size()) / 1e6;

    std::printf("open %s (%.0f MB), window %dx%d, map %dx%d\n", qPrintable(QFileInfo(path).fileName()),
                fileMegabytes, window->width(), window->height(), bench.view().width(), bench.view().height());
    std::printf("  the open command returned after %.0f ms; first frame showing the tracks %.0f ms; "
                "statistics shown %.0f ms\n",
                opened, firstFrame, statistics);
    std::printf("  loading panel visible: %s; event loop served %d times, longest gap %.0f ms\n",
                probe.panelSeen() ? "yes" : "no", probe.ticks(), probe.longestGap());
    std::printf("  peak memory of the process: %.0f MB (%.2f times the file)\n", peakMegabytes(),
                peakMegabytes() * 1.048576 / fileMegabytes);
    figure("open.first_frame_ms", firstFrame);
    figure("open.statistics_ms", statistics);
    figure("open.longest_gap_ms", probe.longestGap());
    figure("open.peak_to_file", peakMegabytes() * 1.048576 / fileMegabytes);
    // Opening alone, for runs paired with `wend-cli info` on a noisy machine.
    if (std::getenv("WEND_BENCH_OPEN_ONLY")) {
        controller.closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return 0;
    }

    GPSView& view = bench.view();
    const int fitted = view.zoomLevel();
    // Back and forth around a place, as when looking around it.
    auto wiggle = [](int i) {
        const double t = 2 * M_PI * i / 80;
        return QPointF(180 * std::sin(t), 120 * std::sin(2 * t));
    };
    // Along the tracks from `first`, `stride` points a frame: the pointer moves against the
    // view's move.
    auto follow = [&](std::size_t first, std::size_t stride) {
        return [&, first, stride](int i) {
            const auto& track = bench.track();
            const WorldPoint from = track[std::min(first, track.size() - 1)];
            const WorldPoint to = track[std::min(first + static_cast<std::size_t>(i) * stride, track.size() - 1)];
            const double worldSize = static_cast<double>(view.geometry().currentWorldSize());
            const ViewPoint a = MapViewGeometry::projectToWorldPixels(from.lon, from.lat, worldSize);
            const ViewPoint b = MapViewGeometry::projectToWorldPixels(to.lon, to.lat, worldSize);
            return QPointF(-(b.x - a.x), b.y - a.y);
        };
    };

    bench.pan("fitted", "whole file in view, back and forth", wiggle);
    const WorldPoint dense = bench.densest(fitted + 8);
    view.setZoomLevel(fitted + 4);
    view.setCenter(dense.lon, dense.lat);
    timer.restart();
    bench.repaint();
    std::printf("  first frame after zooming in four levels over the densest stretch: %.1f ms\n",
                millisecondsSince(timer));
    bench.settle();
    bench.pan("zoom4", "zoomed in 4 levels over the densest stretch, back and forth", wiggle);
    view.setZoomLevel(fitted + 8);
    view.setCenter(dense.lon, dense.lat);
    bench.repaint();
    bench.settle();
    bench.pan("zoom8", "zoomed in 8 levels over the densest stretch, back and forth", wiggle);
    // Along the densest stretch, about 20 points of the screen a frame.
    bench.pan("zoom8.sweep", "zoomed in 8 levels, along the tracks from the densest stretch",
              follow(bench.indexOf(dense), 8));
    view.setZoomLevel(fitted + 4);
    view.setCenter(bench.track().front().lon, bench.track().front().lat);
    bench.repaint();
    bench.settle();
    bench.pan("zoom4.sweep", "zoomed in 4 levels, along every track from start to finish",
              follow(0, bench.track().size() / kFrames));
    bench.printRebuilds();

    if (const char* out = std::getenv("WEND_BENCH_FIGURES")) {
        if (std::FILE* file = std::fopen(out, "w")) {
            for (const auto& [name, value] : g_figures)
                std::fprintf(file, "%s %.3f\n", name.c_str(), value);
            std::fclose(file);
        }
    }
    controller.closeAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return wend::bench::runWithFile(argc, argv, "bench_app_open_pan", run);
}
