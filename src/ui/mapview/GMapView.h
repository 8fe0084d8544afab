#pragma once

#include <QPointF>
#include <QString>
#include <QUrl>
#include <QWebEngineView>
#include <cstdint>
#include <memory>

class QWebEngineProfile;

namespace wend {

class GMapView;
class Preferences;

// What the map tells its owner (the document). Every operation has an empty default.
class GMapViewDelegate {
public:
    virtual ~GMapViewDelegate() = default;

    // The requested centre or zoom changed; called after the new value is stored and sent.
    virtual void gMapViewWillMoveTo(GMapView* view, double lon, double lat, unsigned zoomLevel) {
        (void)view;
        (void)lon;
        (void)lat;
        (void)zoomLevel;
    }
};

// The background map under the editing view: a web page running Leaflet from the system, with
// every interaction of its own switched off. The editing view drives it through four script
// calls (move, zoom, type, destroy). Parameters set before the page is ready wait and are sent
// once it reports itself loaded. When the tiles cannot show the requested zoom, the map is
// blanked, so tracks are never drawn over imagery of the wrong scale.
class GMapView : public QWebEngineView {
    Q_OBJECT

public:
    enum MapType : unsigned {
        StreetMap = 0,
        SatelliteMap = 1,
        HybridMap = 2,
        TerrainMap = 3,
    };

    // The tile sources are read from the preferences each time a map type is sent to the page;
    // the preferences must outlive the view.
    explicit GMapView(const Preferences& preferences, QWidget* parent = nullptr);
    ~GMapView() override;

    // x is the longitude, y the latitude, in degrees.
    QPointF center() const { return m_center; }
    void setCenter(double lon, double lat);
    unsigned zoomLevel() const { return m_zoomLevel; }
    void setZoomLevel(unsigned zoomLevel);
    // The editing view's "will move to" answer: the centre first, then the zoom.
    void setCenter(double lon, double lat, unsigned zoomLevel);
    unsigned mapType() const { return m_mapType; }
    // Always sends the type again (picking up changed tile preferences) and lifts the blanking.
    void setMapType(unsigned type);

    GMapViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(GMapViewDelegate* delegate) { m_delegate = delegate; }

    // The page has reported itself loaded; from then on every change is sent at once.
    bool isMapLoaded() const { return m_mapLoaded; }
    // The page shows no tiles because the requested zoom lies beyond the tile source's reach.
    bool isMapHidden() const { return m_mapIsHidden; }
    // Parameters are pending until the page reports itself loaded.
    bool isWaitingOnMapScriptObject() const { return m_waitingOnMapScriptObject; }

    // "ROADMAP", "SATELLITE", "HYBRID", "TERRAIN"; empty above 3.
    static QString mapTypeName(unsigned type);
    // "Street Map", "Satellite Map", "Hybrid Map", "Terrain Map"; empty above 3.
    static QString mapTypeTitle(unsigned type);
    // The type whose title this is; a title that matches none gives the street map.
    static unsigned mapTypeForTitle(const QString& title);

    // The map page and where its relative addresses (leaflet.js, leaflet.css) resolve.
    static QString pageHtml();
    static QUrl pageBaseUrl();
    // Tile services ask applications to identify themselves.
    static QString userAgent();
    // Shared by every map view: the user agent above, no cookies kept, the HTTP cache on disk
    // (MapCache). Made on first use with these preferences, which must outlive it.
    static QWebEngineProfile* mapProfile(const Preferences& preferences);

signals:
    // The page has reported itself loaded (again, after a renderer crash).
    void mapLoaded();
    // Same as the delegate's operation, for Qt connections.
    void willMoveTo(double lon, double lat, unsigned zoomLevel);
    // The zoom the page actually shows changed (read back after each update). Not an order for
    // the editing view: beyond the tiles' reach it stays below the requested zoom.
    void pageZoomChanged(unsigned zoomLevel);
    void mapHiddenChanged(bool hidden);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Files dropped on the window are the document's business, not the page's.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    void loadPage();
    void pageDidFinishLoading(bool ok);
    void testMapLoaded(int attemptsLeft);
    void trySetMapParameters();
    void actuallySetMapParameters();
    void readBackZoom(unsigned requestedZoom);
    void notifyDelegateOfMove(double lon, double lat, unsigned zoomLevel);
    void setMapIsHidden(bool hidden);
    void runScript(const QString& script);
    QString defineTypeScript(const QString& typeName) const;

    const Preferences& m_preferences;
    QPointF m_center;
    unsigned m_zoomLevel = 0;
    unsigned m_lastSetZoomLevel = 0;
    unsigned m_mapType = StreetMap;
    bool m_mapTypeNeedsUpdate = false;
    bool m_hideMap = false;
    bool m_mapIsHidden = false;
    bool m_waitingOnMapScriptObject = false;
    bool m_mapLoaded = false;
    GMapViewDelegate* m_delegate = nullptr;
    // The zoom the page showed at the last read-back; the page starts at 0.
    unsigned m_pageZoom = 0;
    // Only the answer to the latest read-back counts; older ones describe a superseded update.
    std::uint64_t m_readBackTicket = 0;
    // Counts page loads, so that answers from a page that has since been replaced are dropped.
    std::uint64_t m_pageGeneration = 0;
    // Script answers arrive later, possibly while the view is being destroyed; they hold a
    // weak reference to this and give up once it has expired.
    std::shared_ptr<GMapView*> m_lifetime;
};

} // namespace wend
