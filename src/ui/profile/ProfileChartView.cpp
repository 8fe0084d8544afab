#include "ui/profile/ProfileChartView.h"

#include "core/base/SafeFileWriter.h"
#include "core/document/WendDocument.h"

#include <QBuffer>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgGenerator>
#include <QWheelEvent>
#include <cmath>

namespace wend {

namespace {
// One notch of a classic mouse wheel.
constexpr double kWheelNotch = 120.0;
// How much one notch zooms, and how far a sideways notch scrolls (of the visible width).
constexpr double kZoomPerNotch = 1.25;
constexpr double kScrollPerNotch = 0.1;
// Exported images are drawn at this pixel density, so they stay sharp on HiDPI screens.
constexpr double kExportPixelRatio = 2;
} // namespace

ProfileChartView::ProfileChartView(const ProfileModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_chart(model) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_alert = [this](const QString& title, const QString& text) {
        QMessageBox::warning(this, title, text);
    };
}

ProfileChartView::~ProfileChartView() = default;

void ProfileChartView::setDocument(WendDocument* document) {
    cancelDrag();
    m_document = document;
    update();
}

// ---- painting and hover ------------------------------------------------------------------------

void ProfileChartView::paintEvent(QPaintEvent*) {
    if (m_document)
        m_chart.setMeasurementSystem(
            measurementSystemFromPreference(m_document->preferences().measurementSystem()));
    QPainter painter(this);
    m_chart.paint(painter, size(), devicePixelRatioF(), m_hover);
}

void ProfileChartView::hoverAt(std::optional<double> x) {
    const auto hover = x ? m_chart.pointAtX(*x, size()) : std::nullopt;
    if (hover == m_hover)
        return;
    m_hover = hover;
    update();
    if (!hover) {
        emit hoverEnded();
        return;
    }
    const GPSPoint& point = *m_model.entries()[hover->entry].series->points()[hover->index];
    emit pointHovered(point.longitude(), point.latitude());
}

void ProfileChartView::modelDidChange() {
    m_hover.reset();
    hoverAt(m_pointerX);
    update();
}

void ProfileChartView::enterEvent(QEnterEvent* event) {
    // Like the map: the keys held for a drag (X subtracts) reach the widget under the pointer.
    if (isActiveWindow())
        setFocus(Qt::MouseFocusReason);
    QWidget::enterEvent(event);
}

void ProfileChartView::leaveEvent(QEvent* event) {
    m_pointerX.reset();
    hoverAt(std::nullopt);
    QWidget::leaveEvent(event);
}

// ---- dragging ------------------------------------------------------------------------------------

void ProfileChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_document || m_drag) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    const auto point = m_chart.pointAtX(event->position().x(), size());
    if (!point)
        return;
    const auto modifiers = event->modifiers();
    // The map's modifier rule; Ctrl, which moves points there, selects here as a plain drag.
    const SelectionMode mode = ToolModifiers::selectionModeForModifiers(ToolModifiers::recache(
        0, modifiers.testFlag(Qt::ShiftModifier),
        modifiers.testFlag(Qt::AltModifier) || m_subtractKeyHeld, false));
    const ProfileEntry& entry = m_model.entries()[point->entry];
    m_drag = std::make_unique<ProfileSelectionDrag>(*m_document, m_document->items(), entry.item,
                                                    point->index, mode);
    m_dragEntry = point->entry;
    m_drag->moveTo(point->index);
}

void ProfileChartView::mouseMoveEvent(QMouseEvent* event) {
    m_pointerX = event->position().x();
    if (m_drag && m_dragEntry < m_model.entries().size()) {
        const ProfileEntry& entry = m_model.entries()[m_dragEntry];
        m_drag->moveTo(entry.pointNearest(m_chart.axis(), m_chart.positionAtX(*m_pointerX, size())));
    }
    hoverAt(m_pointerX);
    event->accept();
}

void ProfileChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_drag)
        endDrag(true);
    event->accept();
}

void ProfileChartView::endDrag(bool finish) {
    // The drag is over before the document announces its last change.
    const std::unique_ptr<ProfileSelectionDrag> drag = std::move(m_drag);
    if (finish)
        drag->finish();
    else
        drag->cancel();
    emit dragEnded();
}

void ProfileChartView::cancelDrag() {
    if (m_drag)
        endDrag(false);
}

void ProfileChartView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_drag) {
        cancelDrag();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_X && !event->isAutoRepeat()) {
        m_subtractKeyHeld = true;
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ProfileChartView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_X && !event->isAutoRepeat()) {
        m_subtractKeyHeld = false;
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void ProfileChartView::focusOutEvent(QFocusEvent* event) {
    // A key released elsewhere is never heard of.
    m_subtractKeyHeld = false;
    cancelDrag();
    QWidget::focusOutEvent(event);
}

void ProfileChartView::hideEvent(QHideEvent* event) {
    cancelDrag();
    m_pointerX.reset();
    hoverAt(std::nullopt);
    QWidget::hideEvent(event);
}

// ---- zoom ----------------------------------------------------------------------------------------

void ProfileChartView::wheelEvent(QWheelEvent* event) {
    const double x = event->position().x();
    const QPoint delta = event->angleDelta();
    if (delta.y() != 0)
        m_chart.zoomAround(m_chart.positionAtX(x, size()),
                           std::pow(kZoomPerNotch, delta.y() / kWheelNotch));
    if (delta.x() != 0)
        m_chart.scrollBy(-delta.x() / kWheelNotch * kScrollPerNotch);
    m_hover.reset();
    hoverAt(x);
    update();
    event->accept();
}

void ProfileChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    m_chart.resetZoom();
    m_hover.reset();
    hoverAt(event->position().x());
    update();
    event->accept();
}

// ---- saving --------------------------------------------------------------------------------------

QByteArray ProfileChartView::renderedChart(const QString& format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (format == QLatin1String("svg")) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size());
        generator.setViewBox(QRect(QPoint(0, 0), size()));
        generator.setTitle(QStringLiteral("Profile"));
        QPainter painter(&generator);
        m_chart.paint(painter, size(), kExportPixelRatio);
        painter.end();
        return bytes;
    }
    QImage image(size() * kExportPixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kExportPixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    m_chart.paint(painter, size(), kExportPixelRatio);
    painter.end();
    if (!image.save(&buffer, "PNG"))
        bytes.clear();
    return bytes;
}

QString ProfileChartView::saveChart(const QString& path, const QString& format) {
    const QByteArray bytes = renderedChart(format.toLower());
    if (bytes.isEmpty())
        return QStringLiteral("The chart could not be drawn.");
    const std::string failure = SafeFileWriter::writeFile(
        QFile::encodeName(path).toStdString(),
        [&bytes](ByteSink& sink) {
            return sink.write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        });
    return QString::fromStdString(failure);
}

void ProfileChartView::saveWithDialog(const QString& format) {
    const QString suffix = format.toLower();
    const QString filter = suffix == QLatin1String("svg") ? QStringLiteral("SVG images (*.svg)")
                                                          : QStringLiteral("PNG images (*.png)");
    QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save Chart as %1").arg(format.toUpper()),
        QDir::home().filePath(QStringLiteral("Profile.") + suffix), filter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1Char('.') + suffix, Qt::CaseInsensitive))
        path += QLatin1Char('.') + suffix;
    const QString failure = saveChart(path, suffix);
    if (!failure.isEmpty() && m_alert)
        m_alert(QStringLiteral("The chart could not be saved as “%1”.")
                    .arg(QFileInfo(path).fileName()),
                failure);
}

void ProfileChartView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("Save Chart as PNG…"), this,
                   [this] { saveWithDialog(QStringLiteral("png")); });
    menu.addAction(QStringLiteral("Save Chart as SVG…"), this,
                   [this] { saveWithDialog(QStringLiteral("svg")); });
    menu.addSeparator();
    QAction* reset = menu.addAction(QStringLiteral("Show Whole Length"), this, [this] {
        m_chart.resetZoom();
        modelDidChange();
    });
    reset->setEnabled(m_chart.isZoomed());
    menu.exec(event->globalPos());
    event->accept();
}

} // namespace wend
