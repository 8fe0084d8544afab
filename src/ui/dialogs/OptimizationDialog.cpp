#include "ui/dialogs/OptimizationDialog.h"

#include "ui/dialogs/DoneCancelButtons.h"

#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

namespace wend {

OptimizationDialog::OptimizationDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Optimize Selection"));

    auto* explanation = new QLabel(
        tr("Removes the points that lie on a nearly straight line between their neighbours. "
           "A higher strength removes points at sharper bends too."),
        this);
    explanation->setWordWrap(true);

    m_strengthLabel = new QLabel(this);
    m_strengthSlider = new QSlider(Qt::Horizontal, this);
    m_strengthSlider->setRange(0, kSliderSteps);
    m_strengthSlider->setSingleStep(1);
    m_strengthSlider->setPageStep(10);
    m_strengthSlider->setTickPosition(QSlider::TicksBelow);
    m_strengthSlider->setTickInterval(25);
    m_strengthSlider->setMinimumWidth(320);

    m_liveUpdateCheckBox = new QCheckBox(tr("Live Update"), this);
    m_pointsRemovedLabel = new QLabel(this);
    m_pointsRemovedLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(m_liveUpdateCheckBox);
    checkRow->addStretch(1);
    checkRow->addWidget(m_pointsRemovedLabel);

    m_buttons = new DoneCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addSpacing(6);
    layout->addWidget(m_strengthLabel);
    layout->addWidget(m_strengthSlider);
    layout->addLayout(checkRow);
    layout->addSpacing(6);
    layout->addWidget(m_buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_strengthSlider, &QSlider::valueChanged, this, [this](int value) {
        if (!m_showing)
            setStrength(kMaximumStrength * value / kSliderSteps);
    });
    connect(m_liveUpdateCheckBox, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing)
            setLiveUpdate(on);
    });
    connect(m_buttons, &DoneCancelButtons::doneClicked, this, &OptimizationDialog::doneClicked);
    propertiesDidChange().connect([this] { showProperties(); });
    showProperties();
}

QPushButton* OptimizationDialog::doneButton() const {
    return m_buttons->doneButton();
}

QPushButton* OptimizationDialog::cancelButton() const {
    return m_buttons->cancelButton();
}

void OptimizationDialog::showProperties() {
    m_showing = true;
    m_strengthSlider->setValue(
        static_cast<int>(std::lround(strength() / kMaximumStrength * kSliderSteps)));
    m_liveUpdateCheckBox->setChecked(liveUpdate());
    m_strengthLabel->setText(QString::fromStdString(optimizationStrengthString()));
    m_pointsRemovedLabel->setText(QString::fromStdString(pointsRemovedString()));
    m_showing = false;
}

void OptimizationDialog::runModal() {
    showProperties();
    m_strengthSlider->setFocus();
    exec();
}

void OptimizationDialog::doneClicked() {
    accept();
}

void OptimizationDialog::reject() {
    cancel();
    QDialog::reject();
}

} // namespace wend
