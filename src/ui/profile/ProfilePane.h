#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/profile/ProfileModel.h"
#include "ui/app/PaneRefreshThrottle.h"
#endif

#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <memory>

class QCheckBox;
class QComboBox;
class QToolButton;

namespace wend {

class ProfileChartView;
class WendDocument;

// The collapsible profile pane of a document window: a header with its switches (distance or
// time along the axis, the second series, only the items that hold a selection) above the
// chart of the document's visible tracks and routes (ProfileChartView).
//
// It follows the document's notifications: track-data changes (edits, undo, a dialog's
// preview) recompute the series of the items that changed, selection changes shade the chart
// and, with the switch on, choose the items again. While the pane is collapsed nothing is
// computed or kept; while a drag on the chart runs, what the chart shows stays as it was and the
// changes are taken in when the drag ends. The switches are remembered in the settings.
//
// The pane never touches the document from its destructor.
class ProfilePane : public QWidget {
    Q_OBJECT

public:
    static constexpr int kHeaderHeight = 32;
    static constexpr int kMinimumExpandedHeight = 150;
    static constexpr int kDefaultExpandedHeight = 230;

    explicit ProfilePane(QWidget* parent = nullptr);
    ~ProfilePane() override;

    void setDocument(WendDocument* document);
    const ProfileModel& model() const { return m_model; }
    ProfileChartView* chartView() const { return m_chartView; }
    QComboBox* axisPopUp() const { return m_axisPopUp; }
    QComboBox* secondSeriesPopUp() const { return m_secondSeriesPopUp; }
    QCheckBox* selectedItemsOnlyBox() const { return m_selectedItemsOnlyBox; }

    bool isExpanded() const { return m_expanded; }
    // The height the pane asks for while expanded, until a splitter gives it another.
    void setPreferredHeight(int height) { m_preferredHeight = std::max(height, kMinimumExpandedHeight); }
    QSize sizeHint() const override;

public slots:
    void setExpanded(bool expanded);
    void toggleExpanded() { setExpanded(!m_expanded); }
    // While a map drag runs, selection changes reach the chart at most every 100 ms, and
    // exactly once more when it ends.
    void setRefreshThrottled(bool throttled);

signals:
    void expandedChanged(bool expanded);
    // The point under the pointer on the chart (for the marker on the map).
    void pointHovered(double lon, double lat);
    void hoverEnded();

private:
    void buildHeader(QWidget* header);
    void trackDataDidChange();
    void selectionDidChange();
    void refreshSelection();
    // Takes in the document's items now, or as soon as the pane may show them.
    void reloadItems();
    void restoreSwitches();
    void saveSwitches() const;

    WendDocument* m_document = nullptr;
    ProfileModel m_model;
    ProfileChartView* m_chartView = nullptr;
    QToolButton* m_indicatorButton = nullptr;
    QWidget* m_switches = nullptr;
    QComboBox* m_axisPopUp = nullptr;
    QComboBox* m_secondSeriesPopUp = nullptr;
    QCheckBox* m_selectedItemsOnlyBox = nullptr;
    bool m_expanded = false;
    int m_preferredHeight = kDefaultExpandedHeight;
    // The model lags behind the document: the pane was collapsed, or a drag was running.
    bool m_itemsStale = true;
    bool m_selectionStale = false;
    PaneRefreshThrottle* m_selectionThrottle = nullptr;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace wend
