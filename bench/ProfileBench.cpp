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

#include "core/document/InMemoryPreferences.h"
#include "core/document/WendDocument.h"
#include "core/profile/ProfileModel.h"
#include "support/HeadlessQt.h"
#include "ui/app/AlertPresenter.h"
#include "ui/app/DocumentController.h"
#include "ui/app/DocumentWindow.h"
#include "ui/mapview/GPSView.h"
#include "ui/profile/ProfileChartView.h"
#include "ui/profile/ProfilePane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace wend;

double millisecondsSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("  %s: %zu runs, median %.2f ms, 95th percentile %.2f ms, worst %.2f ms\n", what,
                times.size(), times[times.size() / 2], times[times.size() * 95 / 100], times.back());
}

std::vector<double> timeRuns(int runs, const std::function<void(int)>& prepare,
                             const std::function<void(int)>& measured) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare(i);
        QElapsedTimer timer;
        timer.start();
        measured(i);
        times.push_back(millisecondsSince(timer));
    }
    return times;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPointF position, Qt::MouseButtons buttons) {
    QMouseEvent event(type, position, widget->mapToGlobal(position), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

int run(const QString& path) {
    QGuiApplication::setQuitOnLastWindowClosed(false);
    InMemoryPreferences preferences;
    for (std::string_view key : {Preferences::kStreetTileURLKey, Preferences::kSatelliteTileURLKey,
                                 Preferences::kHybridTileURLKey, Preferences::kHybridLabelsTileURLKey,
                                 Preferences::kTerrainTileURLKey})
        preferences.setString(key, "http://127.0.0.1:9/{z}/{x}/{y}.png");
    DocumentController controller(preferences);
    // The edits made here are never saved over the benchmark's file.
    controller.setAlertPresenter([](QWidget*, const AlertRequest& request) {
        const int dontSave = static_cast<int>(request.buttons.indexOf(QStringLiteral("Don't Save")));
        if (dontSave >= 0)
            return dontSave;
        std::fprintf(stderr, "alert: %s: %s\n", qPrintable(request.title), qPrintable(request.text));
        return 0;
    });
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
    sendMouse(&chart, QEvent::MouseButtonPress, QPointF(xAt(1, 40), plot.center().y()), Qt::LeftButton);
    report("drag step with the map's redraw", timeRuns(
        120, [](int) {},
        [&](int i) {
            sendMouse(&chart, QEvent::MouseMove, QPointF(xAt(1 + i % 30, 40), plot.center().y()),
                      Qt::LeftButton);
            map.render(&mapFrame);
            renderChart();
        }));
    sendMouse(&chart, QEvent::MouseButtonRelease, QPointF(xAt(30, 40), plot.center().y()), Qt::NoButton);

    controller.closeAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_profile FILE.gpx\n");
        return 2;
    }
    wend::test::prepareHeadlessQt();
    QApplication app(argc, argv);
    QTemporaryDir settingsDir;
    wend::test::keepSettingsIn(settingsDir.path(), QStringLiteral("WendBench"),
                               QStringLiteral("bench_profile"));
    return run(QString::fromLocal8Bit(argv[1]));
}
