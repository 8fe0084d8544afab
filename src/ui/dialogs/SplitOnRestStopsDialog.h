#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/document/SplitOnRestStopsDialogModel.h"
#endif

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace wend {

class DoneCancelButtons;

// "Split Selection at Rest-stops": the shortest rest (a slider on a cube-root scale from about
// a minute to a day), the radius within which the recorder counts as resting, whether the
// stops are dropped, and the live preview on the map.
class SplitOnRestStopsDialog : public QDialog, public SplitOnRestStopsDialogModel {
    Q_OBJECT
public:
    static constexpr int kMinTimeSliderSteps = 1000;
    static constexpr int kMinimumDistance = 1;
    static constexpr int kMaximumDistance = 200;

    explicit SplitOnRestStopsDialog(QWidget* parent = nullptr);

    QSlider* minTimeSlider() const { return m_minTimeSlider; }
    QLabel* minTimeLabel() const { return m_minTimeLabel; }
    QSlider* maxDistanceSlider() const { return m_maxDistanceSlider; }
    QLabel* maxDistanceLabel() const { return m_maxDistanceLabel; }
    QCheckBox* discardRestStopsCheckBox() const { return m_discardCheckBox; }
    QCheckBox* livePreviewCheckBox() const { return m_previewCheckBox; }
    QPushButton* doneButton() const;
    QPushButton* cancelButton() const;

public slots:
    void doneClicked();
    void reject() override;

protected:
    void runModal() override;

private:
    void showProperties();
    int sliderPositionForMinTime() const;

    QSlider* m_minTimeSlider = nullptr;
    QLabel* m_minTimeLabel = nullptr;
    QSlider* m_maxDistanceSlider = nullptr;
    QLabel* m_maxDistanceLabel = nullptr;
    QCheckBox* m_discardCheckBox = nullptr;
    QCheckBox* m_previewCheckBox = nullptr;
    DoneCancelButtons* m_buttons = nullptr;
    bool m_showing = false;
};

} // namespace wend
