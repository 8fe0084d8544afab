#include "ui/mapview/GMapView.h"

#include "AppTestSupport.h"
#include "core/document/InMemoryPreferences.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <numbers>
#include <optional>
#include <tuple>
#include <vector>

namespace wend {
namespace {

using test::TestTileServer;
using test::waitUntil;

// Evaluates a script in the page and waits for its result.
QVariant evaluate(GMapView& view, const QString& script) {
    auto result = std::make_shared<std::optional<QVariant>>();
    view.page()->runJavaScript(script, [result](const QVariant& value) { *result = value; });
    waitUntil([&] { return result->has_value(); });
    return result->value_or(QVariant());
}

int pageZoom(GMapView& view) {
    return evaluate(view, QStringLiteral("window.map.getZoom()")).toInt();
}

// How far, in screen pixels, the page shows a place from the middle of the view. The map
// lies on whole pixels, so up to half a pixel is in order.
double pixelsFromMiddle(GMapView& view, double lon, double lat) {
    const QVariantList offset =
        evaluate(view, QStringLiteral("(function () {"
                                      "  var point = window.map.latLngToContainerPoint([%1, %2]);"
                                      "  var middle = window.map.getSize().divideBy(2);"
                                      "  return [point.x - middle.x, point.y - middle.y];"
                                      "})()")
                           .arg(lat, 0, 'f', 6)
                           .arg(lon, 0, 'f', 6))
            .toList();
    return offset.size() == 2 ? std::hypot(offset[0].toDouble(), offset[1].toDouble()) : 1e9;
}

constexpr double kHalfPixel = 0.5 * std::numbers::sqrt2 + 1e-6;

int layerCount(GMapView& view) {
    return evaluate(view, QStringLiteral("window.mapLayers.length")).toInt();
}

QString attributionText(GMapView& view) {
    return evaluate(view, QStringLiteral("document.querySelector('.leaflet-control-attribution')"
                                         ".textContent"))
        .toString();
}

// Each move the delegate heard: longitude, latitude, zoom level.
struct RecordingDelegate : GMapViewDelegate {
    using Move = std::tuple<double, double, unsigned>;
    void gMapViewWillMoveTo(GMapView*, double lon, double lat, unsigned zoomLevel) override {
        moves.emplace_back(lon, lat, zoomLevel);
    }
    std::vector<Move> moves;
};

class GMapViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        WEND_ASSERT_LEAFLET();
        ASSERT_TRUE(m_server.isListening());
        const struct {
            std::string_view urlKey, attributionKey, maxZoomKey;
            const char *layer, *attribution;
            int maxZoom;
        } layers[] = {
            {Preferences::kStreetTileURLKey, Preferences::kStreetTileAttributionKey,
             Preferences::kStreetTileMaxZoomKey, "street", "Street <b>tiles</b> & co", 6},
            {Preferences::kSatelliteTileURLKey, Preferences::kSatelliteTileAttributionKey,
             Preferences::kSatelliteTileMaxZoomKey, "satellite", "Satellite tiles", 18},
            {Preferences::kHybridTileURLKey, Preferences::kHybridTileAttributionKey,
             Preferences::kHybridTileMaxZoomKey, "hybrid", "Hybrid tiles", 18},
            {Preferences::kTerrainTileURLKey, Preferences::kTerrainTileAttributionKey,
             Preferences::kTerrainTileMaxZoomKey, "terrain", "Terrain tiles", 18},
        };
        for (const auto& layer : layers) {
            m_preferences.setString(
                layer.urlKey, m_server.tileURL(QString::fromLatin1(layer.layer)).toStdString());
            m_preferences.setString(layer.attributionKey, layer.attribution);
            m_preferences.setInteger(layer.maxZoomKey, layer.maxZoom);
        }
        m_preferences.setString(Preferences::kHybridLabelsTileURLKey,
                                m_server.tileURL(QStringLiteral("labels")).toStdString());
    }

    std::unique_ptr<GMapView> makeView(QSize size = QSize(512, 384)) {
        auto view = std::make_unique<GMapView>(m_preferences);
        view->resize(size);
        view->show();
        return view;
    }

    // A shown view whose page has loaded, at the given place and zoom.
    std::unique_ptr<GMapView> makeLoadedView(double lon, double lat, unsigned zoom) {
        auto view = makeView();
        view->setCenter(lon, lat, zoom);
        EXPECT_TRUE(waitUntil([&] { return view->isMapLoaded(); })) << "the map page never loaded";
        return view;
    }

    InMemoryPreferences m_preferences;
    TestTileServer m_server;
};

TEST_F(GMapViewTest, ParametersReachThePageAndTheDelegateHearsEveryChange) {
    auto view = makeView();
    RecordingDelegate delegate;
    view->setDelegate(&delegate);

    // Set before the page is ready: they wait, and the delegate hears them at once.
    view->setCenter(10, 20, 5);
    EXPECT_FALSE(view->isMapLoaded());
    EXPECT_TRUE(view->isWaitingOnMapScriptObject());
    EXPECT_EQ(delegate.moves, (std::vector<RecordingDelegate::Move>{{10, 20, 0}, {10, 20, 5}}));

    QSignalSpy loaded(view.get(), &GMapView::mapLoaded);
    ASSERT_TRUE(waitUntil([&] { return view->isMapLoaded(); })) << "the map page never loaded";
    EXPECT_EQ(loaded.count(), 1);
    EXPECT_FALSE(view->isWaitingOnMapScriptObject());
    EXPECT_EQ(pageZoom(*view), 5);
    EXPECT_LE(pixelsFromMiddle(*view, 10, 20), kHalfPixel);

    // Tiles arrive, asked for by the application by name.
    ASSERT_TRUE(waitUntil([&] { return m_server.hasRequest("street", 5); }));
    for (const auto& request : m_server.requests()) {
        EXPECT_EQ(request.userAgent, GMapView::userAgent().toUtf8());
        EXPECT_EQ(request.z, 5) << "a tile of another zoom was loaded";
    }
    // The attribution is plain text, shown as written.
    EXPECT_EQ(attributionText(*view), "Street <b>tiles</b> & co");

    // The same centre again tells nobody.
    view->setCenter(10, 20, 5);
    EXPECT_EQ(delegate.moves.size(), 2u);
    view->setCenter(11, 20);
    EXPECT_EQ(delegate.moves.back(), (RecordingDelegate::Move{11, 20, 5}));

    QSignalSpy pageZoomSpy(view.get(), &GMapView::pageZoomChanged);
    view->setZoomLevel(4);
    EXPECT_EQ(delegate.moves.back(), (RecordingDelegate::Move{11, 20, 4}));
    ASSERT_TRUE(waitUntil([&] { return !pageZoomSpy.isEmpty(); }));
    EXPECT_EQ(pageZoomSpy.last().at(0).toUInt(), 4u);

    // A resized page keeps the requested centre.
    view->resize(700, 300);
    ASSERT_TRUE(waitUntil(
        [&] { return evaluate(*view, QStringLiteral("window.map.getSize().x")).toInt() == 700; }));
    EXPECT_LE(pixelsFromMiddle(*view, 11, 20), kHalfPixel);
    EXPECT_EQ(pageZoom(*view), 4);

    view->setDelegate(nullptr);
}

TEST_F(GMapViewTest, MapTypesShowTheirTilesAndAttribution) {
    auto view = makeLoadedView(0, 0, 3);
    ASSERT_TRUE(waitUntil([&] { return m_server.requestCount("street") > 0; }));
    const struct {
        unsigned type;
        const char* layer;
        const char* attribution;
        int layers;
    } expectations[] = {
        {GMapView::SatelliteMap, "satellite", "Satellite tiles", 1},
        {GMapView::HybridMap, "hybrid", "Hybrid tiles", 2},
        {GMapView::TerrainMap, "terrain", "Terrain tiles", 1},
        {GMapView::StreetMap, "street", "Street <b>tiles</b> & co", 1},
    };
    for (const auto& expected : expectations) {
        SCOPED_TRACE(expected.layer);
        m_server.clearRequests();
        view->setMapType(expected.type);
        EXPECT_TRUE(waitUntil([&] { return m_server.hasRequest(expected.layer, 3); }));
        EXPECT_EQ(layerCount(*view), expected.layers);
        EXPECT_EQ(attributionText(*view), QString::fromUtf8(expected.attribution));
    }
    m_server.clearRequests();
    view->setMapType(GMapView::HybridMap);
    EXPECT_TRUE(waitUntil([&] { return m_server.hasRequest("labels", 3); }));

    // A type without tiles shows none, and no attribution.
    view->setMapType(7);
    EXPECT_EQ(layerCount(*view), 0);
    EXPECT_EQ(attributionText(*view), "");
    // An emptied address leaves that layer out.
    m_preferences.setString(Preferences::kHybridLabelsTileURLKey, "");
    view->setMapType(GMapView::HybridMap);
    EXPECT_EQ(layerCount(*view), 1);
}

TEST_F(GMapViewTest, ZoomBeyondTheTilesBlanksTheMapAndAReachableZoomRestoresIt) {
    auto view = makeLoadedView(10, 20, 5);
    ASSERT_TRUE(waitUntil([&] { return m_server.requestCount("street") > 0; }));
    QSignalSpy hiddenSpy(view.get(), &GMapView::mapHiddenChanged);

    // The street tiles end at zoom 6.
    view->setZoomLevel(8);
    ASSERT_TRUE(waitUntil([&] { return view->isMapHidden(); }));
    EXPECT_EQ(hiddenSpy.count(), 1);
    EXPECT_EQ(pageZoom(*view), 6);
    EXPECT_EQ(evaluate(*view, QStringLiteral("document.querySelectorAll('.leaflet-tile').length"))
                  .toInt(),
              0);
    m_server.clearRequests();
    view->setZoomLevel(6);
    ASSERT_TRUE(waitUntil([&] { return !view->isMapHidden(); }));
    EXPECT_EQ(layerCount(*view), 1);
    EXPECT_TRUE(waitUntil([&] { return m_server.hasRequest("street", 6); }));

    // Picking a type lifts the blanking; a type that reaches the zoom stays.
    view->setZoomLevel(9);
    ASSERT_TRUE(waitUntil([&] { return view->isMapHidden(); }));
    view->setMapType(GMapView::SatelliteMap);
    EXPECT_FALSE(view->isMapHidden());
    EXPECT_TRUE(waitUntil([&] { return m_server.hasRequest("satellite", 9); }));
    // One that does not is blanked again.
    view->setMapType(GMapView::StreetMap);
    EXPECT_TRUE(waitUntil([&] { return view->isMapHidden(); }));

    for (const auto& request : m_server.requests())
        EXPECT_TRUE(request.layer != QLatin1String("street") || request.z <= 6) << request.z;
}

TEST_F(GMapViewTest, AMapThatLostItsPageLoadsAgainWithItsParameters) {
    auto view = makeLoadedView(10, 20, 4);
    view->setMapType(GMapView::TerrainMap);
    ASSERT_TRUE(waitUntil([&] { return m_server.requestCount("terrain") > 0; }));

    QSignalSpy loaded(view.get(), &GMapView::mapLoaded);
    view->page()->load(QUrl(QStringLiteral("chrome://crash")));
    ASSERT_TRUE(waitUntil([&] { return !view->isMapLoaded(); })) << "the renderer did not go";
    // Changes meanwhile wait for the new page.
    view->setCenter(12, 21, 6);
    EXPECT_TRUE(view->isWaitingOnMapScriptObject());

    ASSERT_TRUE(waitUntil([&] { return loaded.count() == 1; }));
    EXPECT_EQ(pageZoom(*view), 6);
    EXPECT_LE(pixelsFromMiddle(*view, 12, 21), kHalfPixel);
    EXPECT_EQ(layerCount(*view), 1);
    EXPECT_TRUE(waitUntil([&] { return m_server.hasRequest("terrain", 6); }));
}

TEST_F(GMapViewTest, AViewDestroyedWithScriptsUnansweredIsNotCalledBack) {
    for (int round = 0; round < 2; ++round) {
        auto view = makeView();
        view->setCenter(5, 5, 3);
        if (round == 1) {
            ASSERT_TRUE(waitUntil([&] { return view->isMapLoaded(); }));
        }
        // Each of these asks the page for its zoom; the answers come after the view is gone.
        view->setZoomLevel(4);
        view->setMapType(GMapView::SatelliteMap);
        view->resize(300, 200);
    }
    // The engine answers scripts in order: once a new view's page has answered, the answers
    // meant for the destroyed views have arrived too, and went nowhere.
    auto survivor = makeLoadedView(6, 6, 2);
    EXPECT_EQ(pageZoom(*survivor), 2);
}

} // namespace
} // namespace wend
