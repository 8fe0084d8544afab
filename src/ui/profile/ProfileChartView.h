#pragma once

#include "ui/profile/ProfileChart.h"

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/profile/ProfileSelectionDrag.h"
#endif

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace wend {

class WendDocument;

// The profile's chart as a widget: it paints the ProfileChart, follows the pointer with the
// readout and announces the hovered point (for the marker on the map), turns a drag into a
// selection of the item under it (ProfileSelectionDrag, with the modifiers of the map's
// selection tools: Shift extends, Alt or a held X key subtracts), zooms the horizontal axis
// with the wheel around the pointer (a double click shows everything again) and saves the
// chart from its context menu.
//
// A drag ends without its release on Escape, when the widget loses the keyboard focus or is
// hidden: the selection goes back to what it was.
class ProfileChartView : public QWidget {
    Q_OBJECT

public:
    explicit ProfileChartView(const ProfileModel& model, QWidget* parent = nullptr);
    ~ProfileChartView() override;

    ProfileChart& chart() { return m_chart; }
    // The document whose selection a drag changes; null: none.
    void setDocument(WendDocument* document);
    bool isDragging() const { return m_drag != nullptr; }
    void cancelDrag();
    const std::optional<ProfileChart::HoveredPoint>& hoveredPoint() const { return m_hover; }
    // After the model changed: the hovered point is looked up again and the chart redrawn.
    void modelDidChange();

    // Writes the chart at the size shown: "png" at twice the pixel density, or "svg". Returns
    // what failed, or an empty text.
    QString saveChart(const QString& path, const QString& format);
    // How failures of the context menu's commands reach the user (title, text).
    void setAlertFunction(std::function<void(const QString&, const QString&)> alert) {
        m_alert = std::move(alert);
    }

signals:
    // The point under the pointer, in degrees; hoverEnded when there is none.
    void pointHovered(double lon, double lat);
    void hoverEnded();
    // A drag has ended, finished or cancelled.
    void dragEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void hoverAt(std::optional<double> x);
    void endDrag(bool finish);
    void saveWithDialog(const QString& format);
    QByteArray renderedChart(const QString& format);

    const ProfileModel& m_model;
    ProfileChart m_chart;
    WendDocument* m_document = nullptr;
    std::unique_ptr<ProfileSelectionDrag> m_drag;
    // The entry the drag selects in; the pane keeps the entries fixed while it runs.
    std::size_t m_dragEntry = 0;
    std::optional<ProfileChart::HoveredPoint> m_hover;
    std::optional<double> m_pointerX;
    bool m_subtractKeyHeld = false;
    std::function<void(const QString&, const QString&)> m_alert;
};

} // namespace wend
