#include "ui/mapview/GMapView.h"

#include "core/document/Preferences.h"
#include "ui/mapview/MapCache.h"
#include "ui/mapview/MapTileSource.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <cmath>
#include <iterator>

namespace wend {

namespace {

// Leaflet stands in for the map service. Its own interaction, animation, fading and inertia
// are off: the editing view on top drives it. Tile layers come through defineType, so that
// the tile preferences are read when a type is sent, not when the page was built. A blank
// type keeps the zoom reach of the last tiles shown, so the zoom read back while blank still
// tells whether those tiles could show the requested zoom. Moves and zooms reset the view
// rather than pan it, because a pan rounds the centre to whole pixels and the error grows
// with every zoom level that follows.
constexpr char kPageHtml[] =
    R"html(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Strict//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd">
<html xmlns="http://www.w3.org/1999/xhtml">
<head>
	<meta http-equiv="content-type" content="text/html; charset=utf-8"/>
	<title>Wend Map</title>
	<link rel="stylesheet" type="text/css" href="leaflet.css"/>
	<script type="text/javascript" src="leaflet.js"></script>
	<script type="text/javascript">
		function init() {
			var map = L.map("map-id", {
				zoomControl: false, attributionControl: false, keyboard: false, dragging: false,
				doubleClickZoom: false, scrollWheelZoom: false, boxZoom: false, touchZoom: false,
				tap: false, inertia: false, zoomAnimation: false, fadeAnimation: false,
				markerZoomAnimation: false
			});
			L.control.attribution({prefix: false}).addTo(map);
			map.setView([0, 0], 0);
			// Leaflet keeps the centre only to the pixel when it follows a resize itself.
			map.on("resize", function () {
				map.setView(window.requestedCenter, map.getZoom(), {reset: true});
			});
			map.destroy = function () { window.mapLoaded = false; map.remove(); };
			window.map = map;
			window.mapTypes = {};
			window.mapLayers = [];
			window.requestedCenter = [0, 0];
			window.requestedZoom = 0;
			window.mapLoaded = true;
		}
		function moveTo(lat, lon) {
			window.requestedCenter = [lat, lon];
			window.map.invalidateSize({pan: false});
			window.map.setView(window.requestedCenter, window.map.getZoom(), {reset: true});
		}
		function zoomTo(zoom) {
			window.requestedZoom = zoom;
			window.map.setView(window.requestedCenter, zoom, {reset: true});
		}
		function defineType(type, sources) {
			window.mapTypes[type] = sources;
		}
		function setType(type) {
			var map = window.map;
			var sources = window.mapTypes.hasOwnProperty(type) ? window.mapTypes[type] : [];
			var reach = map.getMaxZoom();
			window.mapLayers.forEach(function (layer) { map.removeLayer(layer); });
			window.mapLayers = [];
			if (sources.length === 0) {
				map.setMaxZoom(reach);
				return;
			}
			map.options.maxZoom = undefined;
			sources.forEach(function (source) {
				var layer = L.tileLayer(source.url, {attribution: source.attribution, maxZoom: source.maxZoom});
				layer.addTo(map);
				window.mapLayers.push(layer);
			});
			map.setView(window.requestedCenter, window.requestedZoom, {reset: true});
		}
	</script>
	<style type="text/css">
		body { margin: 0em; padding: 0em; }
		#map-id { position: absolute; top: 0%; left: 0%; width: 100%; height: 100%; z-index: 1; }
	</style>
</head>
<body onload="init()"><div id="map-id"></div></body>
</html>
)html";

struct MapTypeNames {
    const char* name;
    const char* title;
};

constexpr MapTypeNames kMapTypeNames[] = {
    {"ROADMAP", "Street Map"},
    {"SATELLITE", "Satellite Map"},
    {"HYBRID", "Hybrid Map"},
    {"TERRAIN", "Terrain Map"},
};

// The page reports itself loaded by the time its load finishes; a few more tries cover an
// engine that signals the end of the load before the onload handler has run.
constexpr int kLoadedTestAttempts = 20;
constexpr int kLoadedTestInterval = 100; // milliseconds

// A renderer that died is restarted after this pause, so a page that kills its renderer at
// once cannot keep the event loop busy.
constexpr int kReloadDelay = 1000; // milliseconds

} // namespace

GMapView::GMapView(const Preferences& preferences, QWidget* parent)
    : QWebEngineView(parent), m_preferences(preferences),
      m_lifetime(std::make_shared<GMapView*>(this)) {
    auto* page = new QWebEnginePage(mapProfile(preferences), this);
    QWebEngineSettings* settings = page->settings();
    // The page comes from a file address (the Leaflet folder) and fetches tiles over HTTP.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    setPage(page);

    // Cut, copy, paste and delete belong to the document: the page never takes the keyboard.
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);

    connect(page, &QWebEnginePage::loadFinished, this, &GMapView::pageDidFinishLoading);
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        // The page is gone with its state: start over and send everything again.
        m_mapLoaded = false;
        m_lastSetZoomLevel = 0;
        m_pageZoom = 0;
        m_mapTypeNeedsUpdate = true;
        m_hideMap = false;
        setMapIsHidden(false);
        m_waitingOnMapScriptObject = true;
        QTimer::singleShot(kReloadDelay, this, [this] { loadPage(); });
    });

    loadPage();
    setCenter(0, 0);
    setZoomLevel(0);
    setMapType(StreetMap);
    m_mapIsHidden = false;
    m_hideMap = false;
    m_waitingOnMapScriptObject = true;
}

GMapView::~GMapView() {
    if (m_mapLoaded)
        runScript(QStringLiteral("window.map.destroy()"));
    // The page outlives this part of the object; it must not call back into it.
    disconnect(page(), nullptr, this, nullptr);
}

void GMapView::loadPage() {
    ++m_pageGeneration;
    setHtml(pageHtml(), pageBaseUrl());
}

void GMapView::setCenter(double lon, double lat) {
    if (m_center.x() == lon && m_center.y() == lat)
        return;
    m_center = QPointF(lon, lat);
    trySetMapParameters();
    notifyDelegateOfMove(lon, lat, m_zoomLevel);
}

void GMapView::setZoomLevel(unsigned zoomLevel) {
    if (zoomLevel == m_zoomLevel)
        return;
    m_zoomLevel = zoomLevel;
    trySetMapParameters();
    notifyDelegateOfMove(m_center.x(), m_center.y(), zoomLevel);
}

void GMapView::setCenter(double lon, double lat, unsigned zoomLevel) {
    setCenter(lon, lat);
    setZoomLevel(zoomLevel);
}

void GMapView::setMapType(unsigned type) {
    m_mapType = type;
    m_mapTypeNeedsUpdate = true;
    m_hideMap = false;
    trySetMapParameters();
}

QString GMapView::mapTypeName(unsigned type) {
    return type < std::size(kMapTypeNames) ? QString::fromLatin1(kMapTypeNames[type].name)
                                           : QString();
}

QString GMapView::mapTypeTitle(unsigned type) {
    return type < std::size(kMapTypeNames) ? QString::fromLatin1(kMapTypeNames[type].title)
                                           : QString();
}

unsigned GMapView::mapTypeForTitle(const QString& title) {
    for (unsigned type = 0; type < std::size(kMapTypeNames); ++type) {
        if (title == QLatin1String(kMapTypeNames[type].title))
            return type;
    }
    return StreetMap;
}

QString GMapView::pageHtml() {
    return QString::fromUtf8(kPageHtml);
}

QUrl GMapView::pageBaseUrl() {
    // The trailing separator makes leaflet.js resolve inside the folder, not beside it.
    return QUrl::fromLocalFile(QDir(QStringLiteral(WEND_LEAFLET_DIR)).absolutePath() +
                               QLatin1Char('/'));
}

QString GMapView::userAgent() {
    return QStringLiteral("Wend/" WEND_VERSION " (+https://wend.app)");
}

QWebEngineProfile* GMapView::mapProfile(const Preferences& preferences) {
    // Parented to the application, so that it outlives every view.
    static QWebEngineProfile* profile = [&preferences] {
        QWebEngineProfile* created =
            MapCache::createProfile(preferences, QCoreApplication::instance());
        created->setHttpUserAgent(userAgent());
        created->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        return created;
    }();
    return profile;
}

void GMapView::resizeEvent(QResizeEvent* event) {
    QWebEngineView::resizeEvent(event);
    if (!m_mapLoaded)
        return;
    // After the page has laid itself out again, put the centre back where it belongs.
    QTimer::singleShot(0, this, [this] {
        if (m_mapLoaded)
            actuallySetMapParameters();
    });
}

void GMapView::dragEnterEvent(QDragEnterEvent* event) {
    event->ignore();
}

void GMapView::dragMoveEvent(QDragMoveEvent* event) {
    event->ignore();
}

void GMapView::dropEvent(QDropEvent* event) {
    event->ignore();
}

void GMapView::childEvent(QChildEvent* event) {
    QWebEngineView::childEvent(event);
    // The engine draws into a child widget that would otherwise take the keyboard focus.
    if (event->type() == QEvent::ChildPolished) {
        if (auto* child = qobject_cast<QWidget*>(event->child())) {
            child->setFocusPolicy(Qt::NoFocus);
            child->setAcceptDrops(false);
        }
    }
}

void GMapView::pageDidFinishLoading(bool ok) {
    if (ok)
        testMapLoaded(kLoadedTestAttempts);
}

void GMapView::testMapLoaded(int attemptsLeft) {
    if (m_mapLoaded)
        return;
    const std::weak_ptr<GMapView*> guard = m_lifetime;
    const std::uint64_t generation = m_pageGeneration;
    page()->runJavaScript(
        QStringLiteral("window.mapLoaded"), [guard, generation, attemptsLeft](const QVariant& r) {
            if (guard.expired())
                return;
            GMapView* self = *guard.lock();
            if (generation != self->m_pageGeneration || self->m_mapLoaded)
                return;
            if (r.typeId() == QMetaType::Bool && r.toBool()) {
                self->m_mapLoaded = true;
                if (self->m_waitingOnMapScriptObject) {
                    self->actuallySetMapParameters();
                    self->m_waitingOnMapScriptObject = false;
                }
                emit self->mapLoaded();
            } else if (attemptsLeft > 1) {
                QTimer::singleShot(kLoadedTestInterval, self, [self, generation, attemptsLeft] {
                    if (generation == self->m_pageGeneration)
                        self->testMapLoaded(attemptsLeft - 1);
                });
            }
        });
}

void GMapView::trySetMapParameters() {
    if (!m_mapLoaded) {
        m_waitingOnMapScriptObject = true;
        return;
    }
    actuallySetMapParameters();
}

void GMapView::actuallySetMapParameters() {
    if (std::isfinite(m_center.x()) && std::isfinite(m_center.y()))
        runScript(QString::asprintf("moveTo(%f, %f);", m_center.y(), m_center.x()));
    if (m_lastSetZoomLevel != m_zoomLevel) {
        runScript(QString::asprintf("zoomTo(%u);", m_zoomLevel));
        m_lastSetZoomLevel = m_zoomLevel;
    }
    if (m_mapTypeNeedsUpdate || m_hideMap != m_mapIsHidden) {
        QString typeName = mapTypeName(m_mapType);
        if (m_hideMap)
            typeName = QStringLiteral("null");
        else if (!typeName.isEmpty())
            runScript(defineTypeScript(typeName));
        runScript(QStringLiteral("setType(\"%1\");").arg(typeName));
        m_mapTypeNeedsUpdate = false;
        setMapIsHidden(m_hideMap);
    }
    readBackZoom(m_zoomLevel);
}

void GMapView::readBackZoom(unsigned requestedZoom) {
    const std::weak_ptr<GMapView*> guard = m_lifetime;
    const std::uint64_t ticket = ++m_readBackTicket;
    const std::uint64_t generation = m_pageGeneration;
    page()->runJavaScript(QStringLiteral("window.map.getZoom()"),
                          [guard, ticket, generation, requestedZoom](const QVariant& result) {
                              if (guard.expired())
                                  return;
                              GMapView* self = *guard.lock();
                              if (ticket != self->m_readBackTicket ||
                                  generation != self->m_pageGeneration)
                                  return;
                              bool ok = false;
                              const double zoom = result.toDouble(&ok);
                              if (!ok || !std::isfinite(zoom) || zoom < 0)
                                  return;
                              const auto pageZoom = static_cast<unsigned>(zoom);
                              if (pageZoom != self->m_pageZoom) {
                                  self->m_pageZoom = pageZoom;
                                  emit self->pageZoomChanged(pageZoom);
                              }
                              self->m_hideMap = pageZoom != requestedZoom;
                              // Blank or restore now rather than at some later update: the user may
                              // not move the map again for a while, and the tracks must not sit on
                              // imagery of the wrong scale.
                              if (self->m_hideMap != self->m_mapIsHidden)
                                  self->actuallySetMapParameters();
                          });
}

void GMapView::notifyDelegateOfMove(double lon, double lat, unsigned zoomLevel) {
    if (m_delegate)
        m_delegate->gMapViewWillMoveTo(this, lon, lat, zoomLevel);
    emit willMoveTo(lon, lat, zoomLevel);
}

void GMapView::setMapIsHidden(bool hidden) {
    if (hidden == m_mapIsHidden)
        return;
    m_mapIsHidden = hidden;
    emit mapHiddenChanged(hidden);
}

void GMapView::runScript(const QString& script) {
    page()->runJavaScript(script);
}

QString GMapView::defineTypeScript(const QString& typeName) const {
    QJsonArray layers;
    for (const MapTileSource& source : MapTileSource::sourcesForMapType(m_preferences, m_mapType)) {
        // Attributions are plain text; Leaflet shows them as markup.
        layers.append(
            QJsonObject{{QStringLiteral("url"), source.url},
                        {QStringLiteral("attribution"), source.attribution.toHtmlEscaped()},
                        {QStringLiteral("maxZoom"), source.maxZoom}});
    }
    return QStringLiteral("defineType(\"%1\", %2);")
        .arg(typeName, QString::fromUtf8(QJsonDocument(layers).toJson(QJsonDocument::Compact)));
}

} // namespace wend
