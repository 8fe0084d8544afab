#include "ui/dialogs/SplitOnRestStopsDialog.h"

#include "ui/dialogs/DoneCancelButtons.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace wend {

namespace {

QSlider* makeSlider(QWidget* parent, int minimum, int maximum, int pageStep) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(minimum, maximum);
    slider->setPageStep(pageStep);
    slider->setMinimumWidth(280);
    return slider;
}

} // namespace

SplitOnRestStopsDialog::SplitOnRestStopsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Split Selection at Rest-stops"));

    auto* explanation = new QLabel(
        tr("Cuts each selected track where the recorder stayed within a small distance of one "
           "spot for at least the given time."),
        this);
    explanation->setWordWrap(true);

    m_minTimeSlider = makeSlider(this, 0, kMinTimeSliderSteps, kMinTimeSliderSteps / 20);
    m_minTimeLabel = new QLabel(this);
    m_minTimeLabel->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("24h 59m 59s")) +
                                    8);
    m_maxDistanceSlider = makeSlider(this, kMinimumDistance, kMaximumDistance, 10);
    m_maxDistanceLabel = new QLabel(this);
    m_maxDistanceLabel->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("200.0 metres")) + 8);

    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(m_minTimeSlider, 1);
    timeRow->addWidget(m_minTimeLabel);
    auto* distanceRow = new QHBoxLayout;
    distanceRow->addWidget(m_maxDistanceSlider, 1);
    distanceRow->addWidget(m_maxDistanceLabel);

    auto* form = new QFormLayout;
    form->addRow(tr("Minimum rest time:"), timeRow);
    form->addRow(tr("Maximum distance:"), distanceRow);

    m_discardCheckBox = new QCheckBox(tr("Discard the rest stops"), this);
    m_discardCheckBox->setToolTip(
        tr("Off: each rest stop becomes a track of its own, named \"Rest Stop\" and a number."));
    m_previewCheckBox = new QCheckBox(tr("Show Live Preview"), this);
    m_buttons = new DoneCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addSpacing(6);
    layout->addLayout(form);
    layout->addWidget(m_discardCheckBox);
    layout->addWidget(m_previewCheckBox);
    layout->addSpacing(6);
    layout->addWidget(m_buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_minTimeSlider, &QSlider::valueChanged, this, [this](int position) {
        if (m_showing)
            return;
        const double low = minTimeSliderMinValue();
        const double high = minTimeSliderMaxValue();
        setMinTimeSliderCurrentValue(low + (high - low) * position / kMinTimeSliderSteps);
    });
    connect(m_maxDistanceSlider, &QSlider::valueChanged, this, [this](int metres) {
        if (!m_showing)
            setMaxDistance(metres);
    });
    connect(m_discardCheckBox, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing)
            setDiscardRestStops(on);
    });
    connect(m_previewCheckBox, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing)
            setShowLivePreview(on);
    });
    connect(m_buttons, &DoneCancelButtons::doneClicked, this, &SplitOnRestStopsDialog::doneClicked);
    propertiesDidChange().connect([this] { showProperties(); });
    showProperties();
}

QPushButton* SplitOnRestStopsDialog::doneButton() const {
    return m_buttons->doneButton();
}

QPushButton* SplitOnRestStopsDialog::cancelButton() const {
    return m_buttons->cancelButton();
}

int SplitOnRestStopsDialog::sliderPositionForMinTime() const {
    const double low = minTimeSliderMinValue();
    const double high = minTimeSliderMaxValue();
    const double fraction = (minTimeSliderCurrentValue() - low) / (high - low);
    return std::clamp(static_cast<int>(std::lround(fraction * kMinTimeSliderSteps)), 0,
                      kMinTimeSliderSteps);
}

void SplitOnRestStopsDialog::showProperties() {
    m_showing = true;
    m_minTimeSlider->setValue(sliderPositionForMinTime());
    m_minTimeLabel->setText(QString::fromStdString(minTimeDescription()));
    m_maxDistanceSlider->setValue(static_cast<int>(std::lround(maxDistance())));
    m_maxDistanceLabel->setText(QString::fromStdString(maxDistanceDescription()));
    m_discardCheckBox->setChecked(discardRestStops());
    m_previewCheckBox->setChecked(showLivePreview());
    m_showing = false;
}

void SplitOnRestStopsDialog::runModal() {
    showProperties();
    m_minTimeSlider->setFocus();
    exec();
}

void SplitOnRestStopsDialog::doneClicked() {
    accept();
}

void SplitOnRestStopsDialog::reject() {
    cancel();
    QDialog::reject();
}

} // namespace wend
