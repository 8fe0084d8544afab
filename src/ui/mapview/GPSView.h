#pragma once

#include "core/mapview/MapSelectionCommands.h"
#include "core/mapview/MapViewGeometry.h"
#include "core/mapview/MapViewRenderer.h"
#include "core/mapview/PointIndexCache.h"
#include "core/processing/UnitFormatter.h"
#include "core/tools/ToolDragSession.h"
#include "core/tools/ToolHost.h"
#include "core/tools/ToolModifiers.h"
#include "core/tools/ToolSet.h"
#include "core/processing/WorldRect.h"
#include "ui/mapview/GPSViewDelegate.h"
#include "ui/mapview/MapFramePainter.h"

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace wend {

class Preferences;
class TooltipView;

// The editing surface of a document window: a transparent widget lying exactly over the web
// map. It draws the delegate's items (tracks and routes as two-tone lines with direction
// arrows, selected stretches highlighted, waypoints with labels, a scale bar) and receives all
// input: mouse drags go to the current editing tool (or pan the map while Space is held),
// wheel and pinch zoom, the arrow keys and Select All. It is the authority on centre and zoom
// and announces every change (the delegate's GPSViewWillMoveTo and the willMoveTo signal) so
// the web map below can follow.
//
// A tool drag runs from the press to the release of the left button; Escape, the window
// losing focus or the mouse grab being lost cancel it, leaving the document as it was.
//
// Everything is painted in logical coordinates; the painter's device pixel ratio makes it
// sharp on HiDPI screens. The view owns no items: it asks the delegate each time. Its drawing
// caches are rebuilt when the zoom, the size, the items or their selections change, and when
// recacheTrackDrawingData is called (the document's track-data and selection notifications).
class GPSView : public QWidget, private ToolHost {
    Q_OBJECT

public:
    // Bits of toolModifiers: one modifier role at a time (Shift before Alt or X before Ctrl),
    // plus the pan mode, which survives modifier changes.
    static constexpr std::uint32_t kShiftModifier = ToolModifiers::kShift;
    static constexpr std::uint32_t kPanModeModifier = ToolModifiers::kPanMode;
    static constexpr std::uint32_t kOptionModifier = ToolModifiers::kOption;
    static constexpr std::uint32_t kCommandModifier = ToolModifiers::kCommand;

    // Positions in the tool set: range, box and track selection, add track, edit point, add
    // waypoint.
    static constexpr int kToolCount = ToolSet::kToolCount;
    // The key that stands in for Alt (the window manager may take Alt-drags).
    static constexpr Qt::Key kStrikeKey = Qt::Key_X;
    // Radius of the marker of the highlighted point, in view points.
    static constexpr double kHighlightRadius = 6.0;

    // The preferences (measurement system of the scale bar, tool tips) are read at the moment
    // of use and must outlive the view.
    explicit GPSView(Preferences& preferences, QWidget* parent = nullptr);
    ~GPSView() override;

    GPSViewDelegate* delegate() const { return m_delegate; }
    // Not owned; null is allowed. Rebuilds the drawing caches.
    void setDelegate(GPSViewDelegate* delegate);

    // Makes this view a sibling of `mapView` stacked above it, and keeps it on the same
    // rectangle and visibility from then on. `mapView` must have a parent widget.
    void placeOver(QWidget* mapView);

    // ---- centre and zoom --------------------------------------------------------------------
    MapViewGeometry& geometry() { return m_geometry; }
    const MapViewGeometry& geometry() const { return m_geometry; }
    int zoomLevel() const { return m_geometry.zoomLevel(); }
    void setZoomLevel(int zoomLevel) { m_geometry.setZoomLevel(zoomLevel); }
    WorldPoint center() const { return m_geometry.center(); }
    void setCenter(double lon, double lat) { m_geometry.setCenter(lon, lat); }
    void zoomIn() { m_geometry.zoomIn(); }
    void zoomOut() { m_geometry.zoomOut(); }
    void centerViewOnWorldRect(const WorldRect& rect);
    void centerOnSelection();
    // Fits the bounds of all the delegate's items into the view (nothing without points).
    void fitItemsInView();

    // ---- drawing ------------------------------------------------------------------------------
    // Marks the drawing caches stale and schedules a redraw; they are rebuilt before the next
    // frame.
    void recacheTrackDrawingData();
    const MapViewRenderer& renderer() const { return m_renderer; }
    // A marker over the items at this place (the point under the pointer on the profile);
    // none removes it.
    void setHighlightedPoint(std::optional<WorldPoint> point);
    const std::optional<WorldPoint>& highlightedPoint() const { return m_highlightedPoint; }

    // ---- keyboard selection commands (framed by the delegate's selection brackets) ----------
    void selectAll();
    // The up and down arrows: every selected stretch one point back or forward, then the view
    // centres on the selection.
    void moveUp();
    void moveDown();

    // ---- tools ----------------------------------------------------------------------------------
    // The shared tools (the document controller's); the view has a set of its own until then.
    // They must outlive the view.
    void setToolSet(ToolSet* tools);
    ToolSet& toolSet() const { return *m_tools; }
    GPSViewTool* currentToolObject() const { return m_tools->tool(m_currentTool); }
    // Runs the waypoint editor for the add waypoint tool: the edited items, or nothing.
    using WaypointEditorRunner = std::function<std::optional<ItemList>(const GPSItemPtr&)>;
    void setWaypointEditorRunner(WaypointEditorRunner runner) { m_waypointEditor = std::move(runner); }
    bool isToolDragging() const { return m_dragSession.isActive(); }
    // Ends a tool drag without its release: the document returns to its state before the press.
    void cancelToolDrag();
    // What the current tool draws over the map now (nothing in pan mode).
    ToolOverlay toolOverlay();
    int currentTool() const { return m_currentTool; }
    // Positions outside 0...5 are ignored. With `showTooltip` and the tool tips preference on,
    // the bubble shows the tool's name and how to use it.
    void setCurrentTool(int index, bool showTooltip = true);
    std::uint32_t toolModifiers() const { return m_toolModifiers; }
    bool inDragMode() const { return (m_toolModifiers & kPanModeModifier) != 0; }
    // Space down and up. The window calls it too, so pan mode works whichever widget has the
    // keyboard focus.
    void setPanMode(bool panMode);
    // The X key held or released: it counts as Alt held.
    void setStrikeKeyHeld(bool held);
    void recacheModifiers(Qt::KeyboardModifiers modifiers);
    void showTooltipWithHeading(const QString& heading, const QString& text);
    TooltipView* tooltipView() const { return m_tooltipView; }
    // The tool's title and its usage lines ("" for the add waypoint tool); empty outside 0...5.
    static QString toolName(int index);
    static QString toolUsage(int index);

signals:
    // Same as the delegate's GPSViewWillMoveTo, for Qt connections (the web map's setCenter).
    void willMoveTo(double lon, double lat, int zoomLevel);
    // A tool asks for the shared tool at this position to become current everywhere.
    void toolSelectionRequested(int position);
    // A tool drag began or ended (released or cancelled).
    void toolDragStarted();
    void toolDragEnded();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // ToolHost
    // Repaints where the overlay was and where it is now (a hover mark moves over a large
    // track without the whole map being painted again).
    void setNeedsDisplay() override;
    void setMovePreview(std::optional<MovePreview> preview) override;
    void pointsDidChangeInPlace(const GPSItemPtr& item) override;
    void selectTool(const GPSViewTool& prototype) override;
    std::optional<ItemList> editNewWaypoint(const GPSItemPtr& waypoint) override;

    const ItemList& items();
    // Null without a document: the tools then do nothing.
    std::optional<ToolContext> toolContext();
    ToolEvent toolEvent(QPointF position) const;
    // The current tool hears of the pointer between drags: a move, a zoom under it, or a key
    // that changes what a press would do.
    void hoverToolAt(QPointF position);
    void paintToolOverlay(QPainter& painter);
    void paintHighlightedPoint(QPainter& painter);
    // Where the highlighted point's marker is drawn; empty without one.
    QRectF highlightBounds() const;
    static QRectF boundsOf(const ToolOverlay& overlay);
    SelectionChangeBrackets selectionBrackets();
    void updateCursor();
    void followCoveredWidget();
    // A hidden widget hears of its size only when shown; fitting must not wait for that.
    void syncViewSize() { m_geometry.setViewSize(width(), height()); }

    Preferences& m_preferences;
    GPSViewDelegate* m_delegate = nullptr;
    MapViewGeometry m_geometry;
    MapViewRenderer m_renderer;
    MapFramePainter m_framePainter;
    UnitFormatter m_formatter;
    TooltipView* m_tooltipView = nullptr;
    QPointer<QWidget> m_coveredWidget;

    std::unique_ptr<ToolSet> m_ownTools;
    ToolSet* m_tools = nullptr;
    ToolDragSession m_dragSession;
    PointIndexCache m_pointIndexes;
    WaypointEditorRunner m_waypointEditor;
    int m_currentTool = 0;
    std::uint32_t m_toolModifiers = 0;
    bool m_strikeKeyHeld = false;
    // Where the overlay was last painted.
    QRectF m_overlayBounds;
    QPointF m_lastDragPosition;
    std::optional<WorldPoint> m_highlightedPoint;
    // The second press of a double click in pan mode: its release centres and zooms in.
    bool m_panDoubleClick = false;
};

} // namespace wend
