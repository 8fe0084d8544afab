#pragma once

// Shared by the application tests: a document controller whose windows show tiles from a
// server on 127.0.0.1 and whose alerts are answered by the test.

#include "TestTileServer.h"
#include "core/document/InMemoryPreferences.h"
#include "support/TestSupport.h"
#include "ui/app/AlertPresenter.h"
#include "ui/app/DocumentController.h"
#include "ui/app/LoadingPanel.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace wend::test {

// The other layers are transparent.
inline const QColor kAppTerrainColor(235, 225, 200);

// scripts/install-deps.sh installs Leaflet: a test that needs it fails without it.
#define WEND_ASSERT_LEAFLET()                                                                      \
    ASSERT_TRUE(QFileInfo::exists(QStringLiteral(WEND_LEAFLET_DIR "/leaflet.js")))                 \
        << "Leaflet is missing from " WEND_LEAFLET_DIR " (scripts/install-deps.sh installs it)"

// Generous: the first page starts the browser engine. Never a measure of speed.
inline bool waitUntil(const std::function<bool()>& condition, int timeout = 60000) {
    return QTest::qWaitFor(condition, timeout);
}

// Within a few steps per channel: antialiasing and colour conversion round differently.
inline ::testing::AssertionResult sameColor(QColor actual, QColor expected, int tolerance = 4) {
    for (const auto& [a, e] : {std::pair{actual.red(), expected.red()},
                               {actual.green(), expected.green()},
                               {actual.blue(), expected.blue()},
                               {actual.alpha(), expected.alpha()}})
        if (std::abs(a - e) > tolerance)
            return ::testing::AssertionFailure()
                   << "colour " << actual.name(QColor::HexArgb).toStdString() << ", expected "
                   << expected.name(QColor::HexArgb).toStdString();
    return ::testing::AssertionSuccess();
}

// The preferences point every map type at the local tile server; the controller's alerts are
// recorded and answered by `answer` (the first button unless a test says otherwise).
class AppTestEnvironment {
public:
    AppTestEnvironment() {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        LoadingPanel::setShowDelay(0);
        server.setLayerColor(QStringLiteral("terrain"), kAppTerrainColor);
        const auto url = [this](const char* layer) {
            return server.tileURL(QString::fromLatin1(layer)).toStdString();
        };
        preferences.setString(Preferences::kStreetTileURLKey, url("street"));
        preferences.setString(Preferences::kSatelliteTileURLKey, url("satellite"));
        preferences.setString(Preferences::kHybridTileURLKey, url("hybrid"));
        preferences.setString(Preferences::kHybridLabelsTileURLKey, url("labels"));
        preferences.setString(Preferences::kTerrainTileURLKey, url("terrain"));
        controller = std::make_unique<DocumentController>(preferences);
        controller->setAlertPresenter([this](QWidget*, const AlertRequest& request) {
            alerts.push_back(request);
            return answer ? answer(request) : 0;
        });
    }

    ~AppTestEnvironment() {
        controller.reset();
        LoadingPanel::setShowDelay(LoadingPanel::kDefaultShowDelay);
        // Closed windows wait for deletion; they go before the preferences they look at.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    // Ends the simulated user event, as the application's event loop does.
    void endEvent() { controller->closeImplicitUndoGroups(); }

    InMemoryPreferences preferences;
    TestTileServer server;
    std::unique_ptr<DocumentController> controller;
    std::vector<AlertRequest> alerts;
    std::function<int(const AlertRequest&)> answer;
};

} // namespace wend::test
