// Times the profile pane on a large GPX file, in the application as a user runs it, and prints:
//   - the first build of the whole series (every track's distances, times and values),
//   - the series computed again after a one-point edit (only the changed item, only what
//     changed in it),
//   - repaints of the chart for a hover, a selection change and a resize (median, 95th
//     percentile, worst),
//   - the steps of a selecting drag on the chart, each with the map's redraw.
//
//   bench_profile FILE.gpx
//
// Runs without a display (offscreen); the map page asks for tiles from an address where
// nothing listens, so only the drawing of the items is measured.

#include "AppBench.h"
#include "core/document/WendDocument.h"
#include "core/profile/ProfileModel.h"
#include "ui/app/DocumentWindow.h"
#include "ui/mapview/GPSView.h"
#include "ui/profile/ProfileChartView.h"
#include "ui/profile/ProfilePane.h"

#include <QImage>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <functional>
#include <vector>

namespace {

using namespace wend;
using bench::millisecondsSince;
using bench::sendMouse;

// The main thread's processor time: steadier than the wall clock on a busy machine.
double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Timings {
    std::vector<double> wall;
    std::vector<double> cpu;
};

void report(const char* what, Timings timings) {
    const auto line = [](std::vector<double> times) {
        std::sort(times.begin(), times.end());
        char text[160];
        std::snprintf(text, sizeof text, "median %.2f ms, 95th percentile %.2f ms, worst %.2f ms",
                      times[times.size() / 2], times[times.size() * 95 / 100], times.back());
        return std::string(text);
    };
    std::printf("  %s (%zu runs)\n    wall: %s\n    CPU:  %s\n", what, timings.wall.size(),
                line(timings.wall).c_str(), line(timings.cpu).c_str());
}

Timings timeRuns(int runs, const std::function<void(int)>& prepare,
                 const std::function<void(int)>& measured) {
    Timings timings;
    for (int i = 0; i < runs; ++i) {
        prepare(i);
        QElapsedTimer timer;
        timer.start();
        const double cpu = threadMilliseconds();
        measured(i);
        timings.cpu.push_back(threadMilliseconds() - cpu);
        timings.wall.push_back(millisecondsSince(timer));
    }
    return timings;
}

int run(const QString& path) {
    QGuiApplication::setQuitOnLastWindowClosed(false);
    InMemoryPreferences preferences;
    bench::useUnreachableTiles(preferences);
    DocumentController controller(preferences);
    bench::printAlerts(controller);
    DocumentWindow* window = controller.openDocument(path);
    if (!window) {
        std::fprintf(stderr, "bench_profile: %s could not be opened\n", qPrintable(path));
        return 1;
    }
    window->resize(1400, 900);
    window->show();
    if (!QTest::qWaitForWindowExposed(window)) {
        std::fprintf(stderr, "bench_profile: the window was never shown\n");
        return 1;
    }
    WendDocument& document = window->document();
    const ItemList& items = document.permanentItems();
    const auto& namespaces = document.GPSDoc()->XMLNamespaces();
    std::size_t points = 0;
    for (const auto& item : items)
        points += item->itemPoints().size();
    std::printf("profile of %s: %zu items, %zu points\n", qPrintable(path), items.size(), points);

    // ---- the series, in the core ----------------------------------------------------------------
    report("first build of the whole series", timeRuns(
        5, [](int) {}, [&](int) { ProfileModel().setItems(items, namespaces); }));
    ProfileModel model;
    model.setItems(items, namespaces);
    GPSItemPtr longest = items.front();
    for (const auto& item : items)
        if (item->itemPoints().size() > longest->itemPoints().size())
            longest = item;
    report("series after a one-point edit", timeRuns(
        20,
        [&](int i) {
            const auto& point = longest->itemPoints()[longest->itemPoints().size() / 3 + 97 * i];
            document.updateItemPoint(point.get(), [](GPSItem&, GPSPoint& p) {
                p.setElevation(p.elevation() + 5);
            });
        },
        [&](int) { model.setItems(items, namespaces); }));

    // ---- the pane in the window ----------------------------------------------------------------
    ProfilePane& pane = *window->profilePane();
    pane.setExpanded(true);
    QCoreApplication::processEvents();
    ProfileChartView& chart = *pane.chartView();
    const QRectF plot = chart.chart().plotRect(chart.size());
    std::printf("  chart %d x %d\n", chart.width(), chart.height());
    QImage frame(chart.size(), QImage::Format_ARGB32_Premultiplied);
    const auto renderChart = [&] { chart.render(&frame); };
    renderChart();
    const auto xAt = [&](int i, int of) { return plot.left() + plot.width() * (i + 0.5) / of; };

    report("repaint for a hover", timeRuns(
        200, [&](int i) { sendMouse(&chart, QEvent::MouseMove, QPointF(xAt(i, 200), plot.center().y()), Qt::NoButton); },
        [&](int) { renderChart(); }));
    report("repaint for a selection change", timeRuns(
        100,
        [&](int i) {
            const GPSItemPtr& item = items[static_cast<std::size_t>(i) % items.size()];
            item->setItemSelection(item->itemSelection().selectionBySelectingRange(
                {static_cast<std::uint64_t>(1000 * i), 5000}));
            document.postSelectionChangedNotification();
        },
        [&](int) { renderChart(); }));
    report("repaint for a resize", timeRuns(
        60,
        [&](int i) {
            chart.resize(chart.width() + (i % 2 ? -7 : 7), chart.height());
            frame = QImage(chart.size(), QImage::Format_ARGB32_Premultiplied);
        },
        [&](int) { renderChart(); }));

    GPSView& map = *window->gpsView();
    QImage mapFrame(map.size(), QImage::Format_ARGB32_Premultiplied);
    // Back and forth over the first track, from a twentieth of it: each step selects another
    // stretch of up to 125,000 points.
    const ProfileEntry& dragged = pane.model().entries().front();
    const auto xInDragged = [&](double fraction) {
        const ProfileAxis axis = chart.chart().axis();
        return chart.chart().xAtPosition(dragged.offset(axis) + fraction * dragged.length(axis),
                                         chart.size());
    };
    const auto dragTo = [&](int i) {
        sendMouse(&chart, QEvent::MouseMove,
                  QPointF(xInDragged(0.1 + 0.85 * ((7 * i) % 30) / 30.0), plot.center().y()),
                  Qt::LeftButton);
    };
    sendMouse(&chart, QEvent::MouseButtonPress, QPointF(xInDragged(0.05), plot.center().y()),
              Qt::LeftButton);
    report("drag step with the map's redraw", timeRuns(
        120, [](int) {},
        [&](int i) {
            dragTo(i);
            map.render(&mapFrame);
            renderChart();
        }));
    // Where a step's time goes.
    report("  of which the selection change and its notifications", timeRuns(60, [](int) {}, dragTo));
    report("  of which the map's redraw", timeRuns(
        60, dragTo, [&](int) { map.render(&mapFrame); }));
    report("  of which the chart's redraw", timeRuns(60, dragTo, [&](int) { renderChart(); }));
    report("the map's redraw without a change, for comparison", timeRuns(
        60, [](int) {}, [&](int) { map.render(&mapFrame); }));
    sendMouse(&chart, QEvent::MouseButtonRelease, QPointF(xInDragged(0.5), plot.center().y()),
              Qt::NoButton);
    const IndexRange selected = dragged.item->itemSelection().ranges().at(0);
    std::printf("  (the drag ended with %llu points of %s selected)\n",
                static_cast<unsigned long long>(selected.length + 1), dragged.item->itemName().c_str());

    controller.closeAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return wend::bench::runWithFile(argc, argv, "bench_profile", run);
}
