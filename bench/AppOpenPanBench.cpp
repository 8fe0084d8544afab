// Opens a large GPX file in the application as a user would (document controller, loading
// panel, window with the web map and the drawing overlay), then pans the overlay with
// Space-drags, and prints:
//   - the time from asking to open the file until the window has drawn its first frame,
//   - whether the loading panel was visible and how long the event loop went unserved
//     while the file was read (the application's responsiveness during the read),
//   - the time of each pan frame, from the mouse event to the finished image.
//
//   bench_app_open_pan FILE.gpx
//
// Runs without a display (offscreen); the map page asks for tiles from an address where
// nothing listens, so only the drawing of the items is measured.

#include "AppBench.h"
#include "core/mapview/GPSViewDrawingCache.h"
#include "ui/app/DocumentController.h"
#include "ui/app/DocumentWindow.h"
#include "ui/app/LoadingPanel.h"
#include "ui/mapview/GPSView.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>

namespace {

using namespace wend;
using bench::millisecondsSince;
using bench::sendMouse;

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
    int lastProgress() const { return m_lastProgress; }

private:
    void tick() {
        m_longestGap = std::max(m_longestGap, millisecondsSince(m_sinceTick));
        m_sinceTick.restart();
        ++m_ticks;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* panel = qobject_cast<LoadingPanel*>(widget); panel && panel->isVisible()) {
                m_panelSeen = true;
                const QProgressBar* bar = panel->progressBar();
                m_lastProgress = bar->maximum() > 0 ? 100 * bar->value() / bar->maximum() : 0;
            }
        }
    }

    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    double m_longestGap = 0;
    int m_ticks = 0;
    bool m_panelSeen = false;
    int m_lastProgress = -1;
};

std::size_t cachedOutlinePoints(const GPSView& view) {
    std::size_t count = 0;
    for (const auto& cache : view.renderer().cachedDrawingData())
        count += cache->completePath().pointCount();
    return count;
}

int run(const QString& path) {
    QGuiApplication::setQuitOnLastWindowClosed(false);
    InMemoryPreferences preferences;
    bench::useUnreachableTiles(preferences);
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
    std::printf("start-up: empty window with the web map %.0f ms\n", millisecondsSince(timer));

    ResponsivenessProbe probe;
    probe.start();
    timer.restart();
    DocumentWindow* window = controller.openDocument(path);
    const double read = millisecondsSince(timer);
    probe.stop();
    if (!window) {
        std::fprintf(stderr, "bench_app_open_pan: %s could not be opened\n", qPrintable(path));
        return 1;
    }
    window->resize(1200, 800);
    window->show();
    if (!QTest::qWaitForWindowExposed(window)) {
        std::fprintf(stderr, "bench_app_open_pan: the window was never shown\n");
        return 1;
    }
    GPSView* view = window->gpsView();
    QImage frame(view->size(), QImage::Format_ARGB32_Premultiplied);
    auto renderFrame = [&] {
        frame.fill(Qt::transparent);
        view->render(&frame);
    };
    renderFrame();
    const double firstFrame = millisecondsSince(timer);

    std::printf("open %s (%.0f MB)\n", qPrintable(QFileInfo(path).fileName()),
                static_cast<double>(QFileInfo(path).size()) / 1e6);
    std::printf("  read into the document: %.0f ms; window with its first frame: %.0f ms\n",
                read, firstFrame);
    std::printf("  loading panel visible: %s (last progress %d%%); event loop served %d times, "
                "longest gap %.0f ms\n",
                probe.panelSeen() ? "yes" : "no", probe.lastProgress(), probe.ticks(),
                probe.longestGap());

    // One Space-drag; `offset` gives the pointer's position at each step relative to where
    // the drag began.
    auto measurePan = [&](const char* what, int steps, const std::function<QPointF(int)>& offset) {
        QTest::keyPress(view, Qt::Key_Space);
        const QPointF start(view->width() / 2.0, view->height() / 2.0);
        sendMouse(view, QEvent::MouseButtonPress, start, Qt::LeftButton);
        std::vector<double> times;
        for (int i = 1; i <= steps; ++i) {
            QElapsedTimer step;
            step.start();
            sendMouse(view, QEvent::MouseMove, start + offset(i), Qt::LeftButton);
            renderFrame();
            times.push_back(millisecondsSince(step));
        }
        sendMouse(view, QEvent::MouseButtonRelease, start + offset(steps), Qt::NoButton);
        QTest::keyRelease(view, Qt::Key_Space);
        std::sort(times.begin(), times.end());
        double total = 0;
        for (double t : times)
            total += t;
        std::printf("  pan, %s (zoom %d, %zu points in the cached outline): %d frames, "
                    "average %.2f ms, median %.2f ms, 95th percentile %.2f ms, worst %.2f ms\n",
                    what, view->zoomLevel(), cachedOutlinePoints(*view), steps, total / steps,
                    times[times.size() / 2], times[times.size() * 95 / 100], times.back());
    };
    // Back and forth around the starting point, as when looking around a place.
    auto wiggle = [](int i) {
        const double t = 2 * std::numbers::pi * i / 80;
        return QPointF(180 * std::sin(t), 120 * std::sin(2 * t));
    };
    // Steadily in one direction: the view leaves the region the caches hold now and then,
    // and those frames rebuild them.
    auto sweep = [](int i) { return QPointF(-20.0 * i, 0); };

    measurePan("whole file in view, back and forth", 240, wiggle);
    view->setZoomLevel(view->zoomLevel() + 4);
    timer.restart();
    renderFrame();
    std::printf("  first frame after zooming in four levels: %.1f ms\n", millisecondsSince(timer));
    measurePan("zoomed in, back and forth", 240, wiggle);
    measurePan("zoomed in, sweeping west", 240, sweep);

    controller.closeAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return wend::bench::runWithFile(argc, argv, "bench_app_open_pan", run);
}
