// Screenshots of the main window, saved into the build folder for people to look at, with a
// few pixel checks; and the `--screenshot` mode of the wend program.
#include "AppTestSupport.h"
#include "core/document/WendDocument.h"
#include "ui/app/DocumentWindow.h"
#include "ui/app/TracksListView.h"
#include "ui/app/WendApplication.h"
#include "ui/mapview/GMapView.h"
#include "ui/mapview/GPSView.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace wend {
namespace {

using test::AppTestEnvironment;

constexpr int kScreenshotTimeout = 30000;

// Whether the image shows the colour somewhere inside the rectangle.
bool showsColor(const QImage& image, const QRect& area, const QColor& color, int tolerance = 3) {
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); y += 2)
        for (int x = inside.left(); x <= inside.right(); x += 2)
            if (test::sameColor(image.pixel(x, y), color, tolerance))
                return true;
    return false;
}

// The rectangle of a child widget in the window's image.
QRect areaInImage(const QWidget* window, const QWidget* child, qreal ratio) {
    const QRect rect(child->mapTo(window, QPoint(0, 0)), child->size());
    return QRect((QPointF(rect.topLeft()) * ratio).toPoint(),
                 (QSizeF(rect.size()) * ratio).toSize());
}

class ScreenshotTest : public ::testing::Test {
protected:
    void SetUp() override { WEND_ASSERT_LEAFLET(); }

    QImage screenshot(DocumentWindow& window, const char* name) {
        window.resize(1100, 700);
        const QString path = QStringLiteral(WEND_BINARY_DIR "/") + QString::fromLatin1(name);
        QString error;
        EXPECT_TRUE(WendApplication::saveWindowScreenshot(window, path, kScreenshotTimeout, &error))
            << error.toStdString();
        EXPECT_TRUE(window.mapView()->isMapLoaded());
        return QImage(path);
    }

    AppTestEnvironment m_env;
};

TEST_F(ScreenshotTest, MultiTrackFileWithASelection) {
    WEND_SKIP_WITHOUT_CORPUS();
    DocumentWindow* window = m_env.controller->openDocument(
        QString::fromStdString(test::corpusDirectory() + "/gpxpy__cerknicko-jezero.gpx"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(m_env.alerts.empty());
    ASSERT_EQ(window->tracksListView()->model()->rowCount(), 14); // 7 waypoints, 7 tracks
    WendDocument& document = window->document();
    document.setSelectedItemIndexes({7, 10});
    const GPSItemPtr log2 = document.permanentItems()[7];
    log2->setItemSelection(
        log2->itemSelection().selectionByDeselectingAll().selectionBySelectingRange({40, 60}));
    document.postSelectionChangedNotification();
    window->actionNamed(QStringLiteral("fitSelectionToView"))->trigger();

    const QImage image = screenshot(*window, "app-multi-track-selection.png");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), window->size() * window->devicePixelRatioF());
    const QRect map = areaInImage(window, window->mapArea(), window->devicePixelRatioF());
    EXPECT_TRUE(showsColor(image, map, test::kAppTerrainColor)) << "the map shows no tiles";
    // The map follows the editing view.
    EXPECT_EQ(window->mapView()->zoomLevel(),
              static_cast<unsigned>(window->gpsView()->zoomLevel()));
    EXPECT_NEAR(window->mapView()->center().x(), window->gpsView()->center().lon, 1e-9);
    // The tracks are drawn over the tiles.
    int drawn = 0;
    for (int y = map.top(); y < map.bottom(); y += 3)
        for (int x = map.left(); x < map.right(); x += 3)
            drawn += test::sameColor(image.pixel(x, y), test::kAppTerrainColor, 12) ? 0 : 1;
    EXPECT_GT(drawn, 200);
}

// The program itself, with its settings and caches in folders of the test's own and the
// terrain map from the test's tile server.
class ProgramTest : public ScreenshotTest {
protected:
    void SetUp() override {
        ScreenshotTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(QFileInfo(m_program).isExecutable()) << "the wend program was not built";
        ASSERT_TRUE(m_home.isValid());
        QSettings settings(m_home.filePath(QStringLiteral("config/Wend/Wend.conf")),
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("GMapType"), 3);
        settings.setValue(QStringLiteral("TerrainTileURL"),
                          m_env.server.tileURL(QStringLiteral("terrain")));
        settings.setValue(QStringLiteral("TerrainTileAttribution"),
                          QStringLiteral("Terrain tiles"));
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                             m_home.filePath(QStringLiteral("config")));
        m_environment.insert(QStringLiteral("XDG_CACHE_HOME"),
                             m_home.filePath(QStringLiteral("cache")));
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }

    // Whether the program ended in time.
    bool run(const QStringList& arguments, QProcess& process) {
        process.setProcessEnvironment(m_environment);
        process.start(m_program, arguments);
        // The test's event loop must keep running: it serves the tiles.
        return test::waitUntil([&] { return process.state() == QProcess::NotRunning; }, 120000);
    }

    // Runs `wend --screenshot` on the sample; the image, null when the program failed.
    QImage screenshotOfSample(const char* name) {
        const QString output = m_home.filePath(QString::fromLatin1(name));
        QProcess process;
        EXPECT_TRUE(run({QStringLiteral("--screenshot"), output, m_sample}, process));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QImage(output);
    }

    const QString m_program = QStringLiteral(WEND_BINARY_DIR "/src/ui/wend");
    const QString m_sample = QStringLiteral(WEND_SOURCE_DIR "/samples/sample.gpx");
    QTemporaryDir m_home;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
};

// Tiles are kept on disk between runs: once seen, a place shows without the tile server.
TEST_F(ProgramTest, SavesScreenshotsWithTilesKeptOnDiskAndReportsFailures) {
    m_env.server.setCacheable(true);
    const QImage online = screenshotOfSample("online.png");
    ASSERT_FALSE(online.isNull());
    ASSERT_TRUE(showsColor(online, online.rect(), test::kAppTerrainColor))
        << "no tiles in the screenshot";
    m_env.server.stop();
    const QImage offline = screenshotOfSample("offline.png");
    ASSERT_FALSE(offline.isNull());
    EXPECT_TRUE(showsColor(offline, offline.rect(), test::kAppTerrainColor))
        << "no tiles from the disk cache";
    EXPECT_TRUE(QFileInfo::exists(m_home.filePath(QStringLiteral("cache/wend/map"))));

    QProcess bad;
    const QString notGPX = m_home.filePath(QStringLiteral("notes.gpx"));
    test::writeFile(notGPX.toStdString(), "just words");
    ASSERT_TRUE(run(
        {QStringLiteral("--screenshot"), m_home.filePath(QStringLiteral("bad.png")), notGPX}, bad));
    EXPECT_NE(bad.exitCode(), 0);
    // One line of ours (the browser engine may add lines of its own).
    const QString error = QString::fromLocal8Bit(bad.readAllStandardError());
    EXPECT_EQ(error.count(QStringLiteral("wend: ")), 1) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("notes.gpx"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_home.filePath(QStringLiteral("bad.png"))));
}

} // namespace
} // namespace wend
