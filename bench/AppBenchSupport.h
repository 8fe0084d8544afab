#pragma once

// Shared by the benchmarks that run the application offscreen.

#include "core/document/InMemoryPreferences.h"
#include "support/HeadlessQt.h"
#include "ui/app/AlertPresenter.h"
#include "ui/app/DocumentController.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <string_view>

namespace wend::bench {

inline double millisecondsSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

inline void sendMouse(QWidget* widget, QEvent::Type type, QPointF position,
                      Qt::MouseButtons buttons) {
    QMouseEvent event(type, position, widget->mapToGlobal(position), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// Tiles from where nothing listens: the frames measure the items, not the network.
inline void askForTilesFromNowhere(Preferences& preferences) {
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

// main() of a benchmark that takes one GPX file: the offscreen application, settings in a
// folder of the run's own (window sizes and recent files never touch the user's).
inline int runWithFile(int argc, char** argv, const char* name,
                       const std::function<int(const QString&)>& run) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.gpx\n", name);
        return 2;
    }
    wend::test::prepareHeadlessQt();
    QApplication app(argc, argv);
    QTemporaryDir settingsDir;
    wend::test::keepSettingsIn(settingsDir.path(), QStringLiteral("WendBench"),
                               QString::fromLatin1(name));
    return run(QString::fromLocal8Bit(argv[1]));
}

} // namespace wend::bench
