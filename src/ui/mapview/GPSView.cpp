#include "ui/mapview/GPSView.h"

#include "core/document/Preferences.h"
#include "core/processing/TrackGeometry.h"
#include "ui/mapview/ToolCursors.h"
#include "ui/mapview/TooltipView.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QWheelEvent>
#include <array>

namespace wend {

namespace {
// One notch of a classic mouse wheel.
constexpr double kWheelNotch = 120.0;

// The names and help texts are those of the tools' classes, the same in every tool set.
const ToolSet& referenceTools() {
    static const ToolSet tools;
    return tools;
}

ViewPoint viewPoint(QPointF point) {
    return {point.x(), point.y()};
}
} // namespace

GPSView::GPSView(Preferences& preferences, QWidget* parent)
    : QWidget(parent), m_preferences(preferences) {
    // Never a background of its own, also when rendered alone (printing, screenshots): the
    // map below shows through wherever nothing is drawn.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_tooltipView = new TooltipView(this);
    m_ownTools = std::make_unique<ToolSet>();
    m_tools = m_ownTools.get();

    m_geometry.willMoveTo().connect([this](double lon, double lat, int zoomLevel) {
        if (m_delegate)
            m_delegate->GPSViewWillMoveTo(this, lon, lat, zoomLevel);
        emit willMoveTo(lon, lat, zoomLevel);
    });
    m_geometry.needsDisplay().connect([this] { update(); });
    syncViewSize();
}

GPSView::~GPSView() {
    m_geometry.willMoveTo().disconnectAll();
    m_geometry.needsDisplay().disconnectAll();
    if (m_coveredWidget)
        m_coveredWidget->removeEventFilter(this);
}

void GPSView::setDelegate(GPSViewDelegate* delegate) {
    cancelToolDrag();
    m_delegate = delegate;
    recacheTrackDrawingData();
}

const ItemList& GPSView::items() {
    static const ItemList noItems;
    return m_delegate ? m_delegate->GPSViewItems(this) : noItems;
}

SelectionChangeBrackets GPSView::selectionBrackets() {
    return {[this] {
                if (m_delegate)
                    m_delegate->GPSViewWillChangeSelection(this);
            },
            [this] {
                if (m_delegate)
                    m_delegate->GPSViewDidChangeSelection(this);
            }};
}

// ---- placement ------------------------------------------------------------------------------

void GPSView::placeOver(QWidget* mapView) {
    if (m_coveredWidget)
        m_coveredWidget->removeEventFilter(this);
    m_coveredWidget = mapView;
    if (!mapView || !mapView->parentWidget())
        return;
    if (parentWidget() != mapView->parentWidget())
        setParent(mapView->parentWidget());
    mapView->installEventFilter(this);
    followCoveredWidget();
}

void GPSView::followCoveredWidget() {
    if (!m_coveredWidget)
        return;
    setGeometry(m_coveredWidget->geometry());
    raise();
    setVisible(m_coveredWidget->isVisible());
}

bool GPSView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_coveredWidget) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ZOrderChange:
            followCoveredWidget();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- centre and zoom --------------------------------------------------------------------------

void GPSView::centerOnSelection() {
    m_geometry.centerOnSelection(items());
}

void GPSView::centerViewOnWorldRect(const WorldRect& rect) {
    syncViewSize();
    m_geometry.centerViewOnWorldRect(rect);
}

void GPSView::fitItemsInView() {
    centerViewOnWorldRect(TrackGeometry::boundsOfGPSItems(items()));
}

// ---- drawing ----------------------------------------------------------------------------------

void GPSView::recacheTrackDrawingData() {
    m_renderer.invalidate();
    m_pointIndexes.clear();
    update();
}

void GPSView::paintEvent(QPaintEvent* event) {
    syncViewSize();
    const ItemList& items = this->items();
    // The paths converted for Qt point into the caches about to be replaced (a preview's
    // joining segments are placed anew for every frame).
    if (m_renderer.needsRecache(items, m_geometry) || m_renderer.movePreview())
        m_framePainter.clearPathCache();
    m_formatter.setMeasurementSystem(
        measurementSystemFromPreference(m_preferences.measurementSystem()));
    const MapFrame frame = m_renderer.prepareFrame(items, m_geometry, m_formatter);
    QPainter painter(this);
    m_framePainter.paint(painter, frame, event->rect(), size());
    paintHighlightedPoint(painter);
    paintToolOverlay(painter);
}

QRectF GPSView::highlightBounds() const {
    if (!m_highlightedPoint)
        return {};
    const ViewPoint at = m_geometry.transformWorldToScreen(*m_highlightedPoint);
    const double reach = kHighlightRadius + 2;
    return QRectF(at.x - reach, at.y - reach, 2 * reach, 2 * reach);
}

void GPSView::paintHighlightedPoint(QPainter& painter) {
    if (!m_highlightedPoint)
        return;
    const ViewPoint at = m_geometry.transformWorldToScreen(*m_highlightedPoint);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(30, 30, 40), 2));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(at.x, at.y), kHighlightRadius, kHighlightRadius);
    painter.restore();
}

void GPSView::setHighlightedPoint(std::optional<WorldPoint> point) {
    if (point == m_highlightedPoint)
        return;
    // Only where the marker was and where it goes: a full frame of a large file costs more
    // than a pointer move may.
    const QRectF before = highlightBounds();
    m_highlightedPoint = point;
    const QRectF region = before | highlightBounds();
    if (!region.isNull())
        update(region.toAlignedRect());
}

ToolOverlay GPSView::toolOverlay() {
    ToolOverlay overlay;
    auto context = toolContext();
    if (inDragMode() || !context)
        return overlay;
    if (GPSViewTool* tool = currentToolObject())
        tool->drawTooling(overlay, *context);
    return overlay;
}

QRectF GPSView::boundsOf(const ToolOverlay& overlay) {
    QRectF bounds;
    for (const ToolOverlay::Box& box : overlay.boxes)
        bounds |= QRectF(box.rect.x, box.rect.y, box.rect.width, box.rect.height)
                      .adjusted(-box.lineWidth, -box.lineWidth, box.lineWidth, box.lineWidth);
    for (const ToolOverlay::Cross& cross : overlay.crosses) {
        const double reach = cross.arm + cross.lineWidth;
        bounds |= QRectF(cross.center.x - reach, cross.center.y - reach, 2 * reach, 2 * reach);
    }
    // A pixel more for the antialiasing.
    return bounds.isNull() ? bounds : bounds.adjusted(-1, -1, 1, 1);
}

void GPSView::setNeedsDisplay() {
    const QRectF region = m_overlayBounds | boundsOf(toolOverlay());
    if (!region.isNull())
        update(region.toAlignedRect());
}

void GPSView::paintToolOverlay(QPainter& painter) {
    const ToolOverlay overlay = toolOverlay();
    m_overlayBounds = boundsOf(overlay);
    if (overlay.isEmpty())
        return;
    painter.save();
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const ToolOverlay::Box& box : overlay.boxes) {
        const QRectF rect(box.rect.x, box.rect.y, box.rect.width, box.rect.height);
        painter.fillRect(rect, MapFramePainter::qColor(box.fill));
        QPen pen(MapFramePainter::qColor(box.stroke), box.lineWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        // Half a line inside, so the outline falls on whole pixels.
        painter.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    for (const ToolOverlay::Cross& cross : overlay.crosses) {
        painter.setPen(QPen(MapFramePainter::qColor(cross.color), cross.lineWidth, Qt::SolidLine, Qt::FlatCap));
        const QPointF c(cross.center.x, cross.center.y);
        painter.drawLine(c - QPointF(cross.arm, 0), c + QPointF(cross.arm, 0));
        painter.drawLine(c - QPointF(0, cross.arm), c + QPointF(0, cross.arm));
    }
    painter.restore();
}

void GPSView::resizeEvent(QResizeEvent* event) {
    syncViewSize();
    QWidget::resizeEvent(event);
}

// ---- selection commands -----------------------------------------------------------------------

// The commands work on a copy of the list: the selection brackets may make the delegate hand
// out a new one.

void GPSView::selectAll() {
    const ItemList snapshot = items();
    MapSelectionCommands::selectAll(snapshot, selectionBrackets());
    update();
}

void GPSView::moveUp() {
    const ItemList snapshot = items();
    MapSelectionCommands::moveUp(snapshot, m_geometry, selectionBrackets());
}

void GPSView::moveDown() {
    const ItemList snapshot = items();
    MapSelectionCommands::moveDown(snapshot, m_geometry, selectionBrackets());
}

// ---- tools and modifiers ------------------------------------------------------------------------

QString GPSView::toolName(int index) {
    const GPSViewTool* tool = referenceTools().tool(index);
    return tool ? QString::fromStdString(tool->name()) : QString();
}

QString GPSView::toolUsage(int index) {
    const GPSViewTool* tool = referenceTools().tool(index);
    return tool ? QString::fromStdString(tool->usage()) : QString();
}

void GPSView::setToolSet(ToolSet* tools) {
    cancelToolDrag();
    m_tools = tools ? tools : m_ownTools.get();
    updateCursor();
}

void GPSView::setCurrentTool(int index, bool showTooltip) {
    if (index < 0 || index >= kToolCount)
        return;
    if (index != m_currentTool)
        cancelToolDrag();
    m_currentTool = index;
    updateCursor();
    update(); // the previous tool's overlay goes
    if (!showTooltip || !m_preferences.showTooltips())
        return;
    const GPSViewTool& tool = *m_tools->tool(index);
    showTooltipWithHeading(QString::fromStdString(tool.name()),
                           QString::fromStdString(ToolSet::tooltipText(tool)));
}

void GPSView::showTooltipWithHeading(const QString& heading, const QString& text) {
    m_tooltipView->setHeading(heading, text);
    m_tooltipView->animateAndSetHidden(false);
}

void GPSView::recacheModifiers(Qt::KeyboardModifiers modifiers) {
    const std::uint32_t before = m_toolModifiers;
    m_toolModifiers = ToolModifiers::recache(m_toolModifiers, modifiers & Qt::ShiftModifier,
                                             (modifiers & Qt::AltModifier) || m_strikeKeyHeld,
                                             modifiers & Qt::ControlModifier);
    updateCursor();
    // A removal mark goes with the key that made it, not only at the next pointer move.
    if ((before & kOptionModifier) && !(m_toolModifiers & kOptionModifier))
        hoverToolAt(mapFromGlobal(QCursor::pos()));
}

void GPSView::setStrikeKeyHeld(bool held) {
    if (held == m_strikeKeyHeld)
        return;
    m_strikeKeyHeld = held;
    recacheModifiers(QGuiApplication::queryKeyboardModifiers());
}

void GPSView::setPanMode(bool panMode) {
    if (panMode == inDragMode())
        return;
    m_toolModifiers = ToolModifiers::withPanMode(m_toolModifiers, panMode);
    recacheModifiers(QGuiApplication::queryKeyboardModifiers());
    update();
}

void GPSView::updateCursor() {
    if (inDragMode()) {
        setCursor(m_geometry.beingDragged() ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
        return;
    }
    const GPSViewTool* tool = currentToolObject();
    const std::optional<ToolCursor> cursor = tool ? tool->cursorForModifiers(m_toolModifiers) : std::nullopt;
    if (cursor)
        setCursor(ToolCursors::cursor(*cursor));
    else
        unsetCursor();
}

// ---- tool host --------------------------------------------------------------------------------

std::optional<ToolContext> GPSView::toolContext() {
    WendDocument* document = m_delegate ? m_delegate->GPSViewDocument(this) : nullptr;
    if (!document)
        return std::nullopt;
    return ToolContext(*document, m_geometry, *this, m_pointIndexes);
}

ToolEvent GPSView::toolEvent(QPointF position) const {
    // Second presses of double clicks never reach the tools (mouseDoubleClickEvent).
    const ViewPoint screen = viewPoint(position);
    return {screen, m_geometry.transformScreenToWorld(screen), m_toolModifiers, 1};
}

void GPSView::hoverToolAt(QPointF position) {
    if (isToolDragging() || inDragMode())
        return;
    if (auto context = toolContext())
        if (GPSViewTool* tool = currentToolObject())
            tool->processMouseMove(toolEvent(position), *context);
}

void GPSView::setMovePreview(std::optional<MovePreview> preview) {
    m_renderer.setMovePreview(std::move(preview));
    update();
}

void GPSView::pointsDidChangeInPlace(const GPSItemPtr& item) {
    m_renderer.invalidateItem(item.get());
    m_pointIndexes.forget(item.get());
    update();
}

void GPSView::selectTool(const GPSViewTool& prototype) {
    const int position = m_tools->positionOf(prototype);
    if (position >= 0)
        emit toolSelectionRequested(position);
}

std::optional<ItemList> GPSView::editNewWaypoint(const GPSItemPtr& waypoint) {
    return m_waypointEditor ? m_waypointEditor(waypoint) : std::nullopt;
}

void GPSView::cancelToolDrag() {
    if (!m_dragSession.isActive())
        return;
    if (auto context = toolContext())
        m_dragSession.cancel(*context);
    m_renderer.setMovePreview(std::nullopt);
    update();
    emit toolDragEnded();
}

// ---- input ------------------------------------------------------------------------------------

bool GPSView::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        auto* key = static_cast<QKeyEvent*>(event);
        // Space belongs to the pan mode and X to the tools, even where the window has a
        // shortcut for them; Select All with the map focused is the map's, and Escape ends a
        // drag.
        if (key->key() == Qt::Key_Space || key->matches(QKeySequence::SelectAll) ||
            (key->key() == kStrikeKey && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) ||
            (key->key() == Qt::Key_Escape && isToolDragging())) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::NativeGesture: {
        auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            if (m_geometry.magnify(gesture->value(), viewPoint(gesture->position())))
                hoverToolAt(gesture->position());
            event->accept();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::event(event);
}

void GPSView::changeEvent(QEvent* event) {
    // The release of a key held while the window lost the keyboard never reaches us, nor
    // does the release of the button of a drag.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        cancelToolDrag();
        setStrikeKeyHeld(false);
        setPanMode(false);
    }
    QWidget::changeEvent(event);
}

void GPSView::focusOutEvent(QFocusEvent* event) {
    // A popup or another window took the keyboard in the middle of a drag.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        cancelToolDrag();
    QWidget::focusOutEvent(event);
}

void GPSView::hideEvent(QHideEvent* event) {
    cancelToolDrag();
    QWidget::hideEvent(event);
}

void GPSView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
        setPanMode(true);
        event->accept();
        return;
    case Qt::Key_Escape:
        if (isToolDragging()) {
            cancelToolDrag();
            event->accept();
            return;
        }
        break;
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
        recacheModifiers(event->modifiers());
        break;
    case Qt::Key_Up:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            moveUp();
            event->accept();
            return;
        }
        break;
    case Qt::Key_Down:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            moveDown();
            event->accept();
            return;
        }
        break;
    default:
        if (event->key() == kStrikeKey &&
            !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            if (!event->isAutoRepeat())
                setStrikeKeyHeld(true);
            event->accept();
            return;
        }
        if (event->matches(QKeySequence::SelectAll)) {
            selectAll();
            event->accept();
            return;
        }
        break;
    }
    QWidget::keyPressEvent(event);
}

void GPSView::keyReleaseEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
        // A held key repeats as release-press pairs; only the real release ends the pan mode.
        if (!event->isAutoRepeat())
            setPanMode(false);
        event->accept();
        return;
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
        recacheModifiers(event->modifiers());
        break;
    default:
        if (event->key() == kStrikeKey) {
            if (!event->isAutoRepeat())
                setStrikeKeyHeld(false);
            event->accept();
            return;
        }
        break;
    }
    QWidget::keyReleaseEvent(event);
}

void GPSView::enterEvent(QEnterEvent* event) {
    setFocus(Qt::MouseFocusReason);
    recacheModifiers(QGuiApplication::queryKeyboardModifiers());
    QWidget::enterEvent(event);
}

void GPSView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    recacheModifiers(event->modifiers());
    m_panDoubleClick = false;
    if (inDragMode()) {
        m_geometry.beginPan();
        m_lastDragPosition = event->position();
    } else if (auto context = toolContext(); context && !isToolDragging()) {
        if (GPSViewTool* tool = currentToolObject()) {
            if (m_dragSession.begin(*tool, toolEvent(event->position()), *context))
                emit toolDragStarted();
        }
    }
    updateCursor();
    event->accept();
}

void GPSView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click starts neither a pan nor a tool drag.
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    m_panDoubleClick = inDragMode();
    event->accept();
}

void GPSView::mouseMoveEvent(QMouseEvent* event) {
    if (m_geometry.beingDragged() && (event->buttons() & Qt::LeftButton)) {
        const QPointF delta = event->position() - m_lastDragPosition;
        m_lastDragPosition = event->position();
        m_geometry.dragPan(delta.x(), delta.y());
    } else if (isToolDragging()) {
        if (event->buttons() & Qt::LeftButton) {
            if (auto context = toolContext())
                m_dragSession.update(toolEvent(event->position()), *context);
        }
    } else if (event->buttons() == Qt::NoButton) {
        m_tooltipView->animateAndSetHidden(true);
        hoverToolAt(event->position());
    }
    event->accept();
}

void GPSView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (isToolDragging()) {
        recacheModifiers(event->modifiers());
        if (auto context = toolContext())
            m_dragSession.finish(m_toolModifiers, *context);
        m_renderer.setMovePreview(std::nullopt);
        update();
        emit toolDragEnded();
    }
    m_geometry.endPan();
    if (m_panDoubleClick && inDragMode())
        m_geometry.centerAndZoomInAt(viewPoint(event->position()));
    m_panDoubleClick = false;
    updateCursor();
    event->accept();
}

void GPSView::wheelEvent(QWheelEvent* event) {
    const bool hasScrollPhase = event->phase() != Qt::NoScrollPhase;
    if (m_geometry.scrollWheel(event->angleDelta().y() / kWheelNotch, hasScrollPhase,
                               viewPoint(event->position())))
        hoverToolAt(event->position());
    event->accept();
}

} // namespace wend
