#pragma once

// What the application benchmarks share: an offscreen application whose settings stay in a
// temporary folder, preferences whose map tiles come from where nothing listens (the frames
// measure the items, not the network), alerts printed instead of shown, and mouse events.

#include "core/document/InMemoryPreferences.h"
#include "support/HeadlessQt.h"
#include "ui/app/DocumentController.h"
#include "ui/app/DocumentWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace wend::bench {

inline double millisecondsSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// The main thread's processor time: steadier than the wall clock on a busy machine.
inline double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Timings {
    std::vector<double> wall;
    std::vector<double> cpu;
};

// One line each for wall and processor time: median, 95th percentile, worst.
inline void report(const char* what, Timings timings) {
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

// Runs `prepare` untimed and `measured` timed, `runs` times; both get the run's number.
inline Timings timeRuns(int runs, const std::function<void(int)>& prepare,
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

inline void useUnreachableTiles(InMemoryPreferences& preferences) {
    for (std::string_view key : {Preferences::kStreetTileURLKey, Preferences::kSatelliteTileURLKey,
                                 Preferences::kHybridTileURLKey, Preferences::kHybridLabelsTileURLKey,
                                 Preferences::kTerrainTileURLKey})
        preferences.setString(key, "http://127.0.0.1:9/{z}/{x}/{y}.png");
}

// Alerts are printed; the question before closing an edited window is answered "Don't Save",
// so a benchmark's edits never reach its input file.
inline void printAlerts(DocumentController& controller) {
    controller.setAlertPresenter([](QWidget*, const AlertRequest& request) {
        const int dontSave = static_cast<int>(request.buttons.indexOf(QStringLiteral("Don't Save")));
        if (dontSave >= 0)
            return dontSave;
        std::fprintf(stderr, "alert: %s: %s\n", qPrintable(request.title), qPrintable(request.text));
        return 0;
    });
}

// Opens the file in a window of the given size and waits until it is shown; null (with the
// reason printed) when either fails.
inline DocumentWindow* openShownWindow(DocumentController& controller, const QString& path,
                                       const char* name, int width = 1400, int height = 900) {
    DocumentWindow* window = controller.openDocument(path);
    if (!window) {
        std::fprintf(stderr, "%s: %s could not be opened\n", name, qPrintable(path));
        return nullptr;
    }
    window->resize(width, height);
    window->show();
    if (!QTest::qWaitForWindowExposed(window)) {
        std::fprintf(stderr, "%s: the window was never shown\n", name);
        return nullptr;
    }
    return window;
}

inline void sendMouse(QWidget* widget, QEvent::Type type, QPointF position, Qt::MouseButtons buttons,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, position, widget->mapToGlobal(position), Qt::LeftButton, buttons, modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

// The main function of a benchmark that takes one GPX file.
inline int runWithFile(int argc, char** argv, const char* name, const std::function<int(const QString&)>& run) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.gpx\n", name);
        return 2;
    }
    wend::test::prepareHeadlessQt();
    QApplication app(argc, argv);
    // The benchmark's settings (window sizes, recent files) never touch the user's.
    QTemporaryDir settingsDir;
    wend::test::keepSettingsIn(settingsDir.path(), QStringLiteral("WendBench"), QString::fromLatin1(name));
    return run(QString::fromLocal8Bit(argv[1]));
}

} // namespace wend::bench
