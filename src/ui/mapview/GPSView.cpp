#include "ui/mapview/GPSView.h"

#include "core/document/Preferences.h"
#include "core/processing/TrackGeometry.h"
#include "ui/mapview/TooltipView.h"

#include <QEnterEvent>
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

struct ToolDescription {
    const char* name;
    const char* usage;
};

constexpr const char* kSelectionUsage =
    "Hold Shift to extend the existing selection\n"
    "Hold Option to subtract from the existing selection\n"
    "Hold Command to move the selection or a single unselected point";

constexpr std::array<ToolDescription, GPSView::kToolCount> kTools = {{
    {"Range Selection Tool (R)", kSelectionUsage},
    {"Box Selection Tool (B)", kSelectionUsage},
    {"Track Selection Tool (T)", kSelectionUsage},
    {"Add Track Tool (A)", "Click to create a new, single point track\n"
                           "Wend will automatically switch to the Edit Point tool\n"
                           "after creating the track"},
    {"Edit Point Tool (P)", "By default, points are added inside the nearest track segment\n"
                            "Hold Shift to add points to either end of a track\n"
                            "Hold Option to remove the nearest point or waypoint\n"
                            "Hold Command to move the nearest point or waypoint"},
    {"Add Waypoint Tool (W)", ""},
}};

ViewPoint viewPoint(QPointF point) {
    return {point.x(), point.y()};
}
} // namespace

const QString GPSView::kPanHint = QStringLiteral("Hold Space to disable editing and drag the map");

GPSView::GPSView(Preferences& preferences, QWidget* parent)
    : QWidget(parent), m_preferences(preferences) {
    // Never a background of its own, also when rendered alone (printing, screenshots): the
    // map below shows through wherever nothing is drawn.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_tooltipView = new TooltipView(this);

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
    update();
}

void GPSView::paintEvent(QPaintEvent* event) {
    syncViewSize();
    const ItemList& items = this->items();
    // The paths converted for Qt point into the caches about to be replaced.
    if (m_renderer.needsRecache(items, m_geometry))
        m_framePainter.clearPathCache();
    m_formatter.setMeasurementSystem(
        measurementSystemFromPreference(m_preferences.measurementSystem()));
    const MapFrame frame = m_renderer.prepareFrame(items, m_geometry, m_formatter);
    QPainter painter(this);
    m_framePainter.paint(painter, frame, event->rect());
    if (m_highlightedPoint) {
        const ViewPoint at = m_geometry.transformWorldToScreen(*m_highlightedPoint);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(30, 30, 40), 2));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPointF(at.x, at.y), 6, 6);
    }
}

void GPSView::setHighlightedPoint(std::optional<WorldPoint> point) {
    if (point == m_highlightedPoint)
        return;
    m_highlightedPoint = point;
    update();
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
    if (index < 0 || index >= kToolCount)
        return {};
    return QString::fromUtf8(kTools[static_cast<std::size_t>(index)].name);
}

QString GPSView::toolUsage(int index) {
    if (index < 0 || index >= kToolCount)
        return {};
    return QString::fromUtf8(kTools[static_cast<std::size_t>(index)].usage);
}

void GPSView::setCurrentTool(int index, bool showTooltip) {
    if (index < 0 || index >= kToolCount)
        return;
    m_currentTool = index;
    updateCursor();
    if (!showTooltip || !m_preferences.showTooltips())
        return;
    QString text = kPanHint;
    const QString usage = toolUsage(index);
    if (!usage.isEmpty())
        text += QStringLiteral("\n\n") + usage;
    showTooltipWithHeading(toolName(index), text);
}

void GPSView::showTooltipWithHeading(const QString& heading, const QString& text) {
    m_tooltipView->setHeading(heading, text);
    m_tooltipView->animateAndSetHidden(false);
}

void GPSView::recacheModifiers(Qt::KeyboardModifiers modifiers) {
    m_toolModifiers &= kPanModeModifier;
    if (modifiers & Qt::ShiftModifier)
        m_toolModifiers |= kShiftModifier;
    else if (modifiers & Qt::AltModifier)
        m_toolModifiers |= kOptionModifier;
    else if (modifiers & Qt::ControlModifier)
        m_toolModifiers |= kCommandModifier;
    updateCursor();
}

void GPSView::setPanMode(bool panMode) {
    if (panMode == inDragMode())
        return;
    if (panMode)
        m_toolModifiers |= kPanModeModifier;
    else
        m_toolModifiers &= ~kPanModeModifier;
    recacheModifiers(QGuiApplication::queryKeyboardModifiers());
    update();
}

void GPSView::updateCursor() {
    if (inDragMode())
        setCursor(m_geometry.beingDragged() ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    else
        unsetCursor();
}

// ---- input ------------------------------------------------------------------------------------

bool GPSView::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Space belongs to the pan mode, even where the window has a shortcut for it.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
            event->accept();
            return true;
        }
        break;
    case QEvent::NativeGesture: {
        auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            m_geometry.magnify(gesture->value(), viewPoint(gesture->position()));
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
    // The release of a Space held while the window lost the keyboard never reaches us.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        setPanMode(false);
    QWidget::changeEvent(event);
}

void GPSView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
        setPanMode(true);
        event->accept();
        return;
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
    } else if (event->buttons() == Qt::NoButton) {
        m_tooltipView->animateAndSetHidden(true);
    }
    event->accept();
}

void GPSView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
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
    m_geometry.scrollWheel(event->angleDelta().y() / kWheelNotch, hasScrollPhase,
                           viewPoint(event->position()));
    event->accept();
}

} // namespace wend
