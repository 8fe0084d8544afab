#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/document/OptimizationDialogModel.h"
#endif

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace wend {

class DoneCancelButtons;

// "Optimize Selection": one strength slider with its value, the live update check box and the
// number of points removed; the map previews the result while live update is on. Run it with
// WendDocument::mutateItemsUsingController (or TrackCommands::optimizeSelection).
class OptimizationDialog : public QDialog, public OptimizationDialogModel {
    Q_OBJECT
public:
    // The slider moves in steps of 0.01 from 0 to kMaximumStrength (45° at strength 1).
    static constexpr int kSliderSteps = 100;
    static constexpr double kMaximumStrength = 1.0;

    explicit OptimizationDialog(QWidget* parent = nullptr);

    QSlider* strengthSlider() const { return m_strengthSlider; }
    QCheckBox* liveUpdateCheckBox() const { return m_liveUpdateCheckBox; }
    QLabel* strengthLabel() const { return m_strengthLabel; }
    QLabel* pointsRemovedLabel() const { return m_pointsRemovedLabel; }
    QPushButton* doneButton() const;
    QPushButton* cancelButton() const;

public slots:
    void doneClicked();
    void reject() override;

protected:
    void runModal() override;

private:
    void showProperties();

    QSlider* m_strengthSlider = nullptr;
    QCheckBox* m_liveUpdateCheckBox = nullptr;
    QLabel* m_strengthLabel = nullptr;
    QLabel* m_pointsRemovedLabel = nullptr;
    DoneCancelButtons* m_buttons = nullptr;
    bool m_showing = false;
};

} // namespace wend
