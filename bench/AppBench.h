#pragma once

// What the application benchmarks share: an offscreen application whose settings stay in a
// temporary folder, preferences whose map tiles come from where nothing listens (the frames
// measure the items, not the network), alerts printed instead of shown, and mouse events.

#include "core/document/InMemoryPreferences.h"
#include "support/HeadlessQt.h"
#include "ui/app/DocumentController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace wend::bench {

inline double millisecondsSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
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
