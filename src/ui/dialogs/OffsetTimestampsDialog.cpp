#include "ui/dialogs/OffsetTimestampsDialog.h"

#include "ui/dialogs/DoneCancelButtons.h"
#include "ui/dialogs/TimeIntervalField.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace wend {

namespace {

QToolButton* makeStepButton(QWidget* parent, Qt::ArrowType arrow) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    // The field keeps the keyboard focus, and with it its selected number.
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(18, TimeIntervalField::kHeight / 2);
    return button;
}

} // namespace

OffsetTimestampsDialog::OffsetTimestampsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Offset Timestamps"));

    auto* explanation = new QLabel(tr("Shift the times of the selected points by:"), this);
    m_intervalField = new TimeIntervalField(intervalEditor(), this);
    m_stepUpButton = makeStepButton(this, Qt::UpArrow);
    m_stepDownButton = makeStepButton(this, Qt::DownArrow);
    auto* stepper = new QVBoxLayout;
    stepper->setSpacing(0);
    stepper->addWidget(m_stepUpButton);
    stepper->addWidget(m_stepDownButton);
    auto* fieldRow = new QHBoxLayout;
    fieldRow->setSpacing(2);
    fieldRow->addWidget(m_intervalField, 1);
    fieldRow->addLayout(stepper);

    m_laterButton = new QRadioButton(tr("Later (add the interval)"), this);
    m_earlierButton = new QRadioButton(tr("Earlier (subtract the interval)"), this);
    auto* directions = new QButtonGroup(this);
    directions->addButton(m_laterButton, Forwards);
    directions->addButton(m_earlierButton, Backwards);

    auto* hint = new QLabel(
        tr("Click a number and type, or step it with the arrow keys. Points without a time "
           "stay without one."),
        this);
    hint->setWordWrap(true);
    QFont small = hint->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    hint->setFont(small);

    m_buttons = new DoneCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(fieldRow);
    layout->addWidget(hint);
    layout->addSpacing(4);
    layout->addWidget(m_laterButton);
    layout->addWidget(m_earlierButton);
    layout->addSpacing(6);
    layout->addWidget(m_buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_stepUpButton, &QToolButton::clicked, this, [this] { stepIntervalField(1); });
    connect(m_stepDownButton, &QToolButton::clicked, this, [this] { stepIntervalField(-1); });
    connect(directions, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !m_showing)
            setOffsetDirection(id);
    });
    connect(m_buttons, &DoneCancelButtons::doneClicked, this, &OffsetTimestampsDialog::doneClicked);
    propertiesDidChange().connect([this] { showProperties(); });
    showProperties();
}

QPushButton* OffsetTimestampsDialog::doneButton() const {
    return m_buttons->doneButton();
}

QPushButton* OffsetTimestampsDialog::cancelButton() const {
    return m_buttons->cancelButton();
}

void OffsetTimestampsDialog::showProperties() {
    m_showing = true;
    (offsetDirection() == Backwards ? m_earlierButton : m_laterButton)->setChecked(true);
    m_intervalField->refresh();
    m_showing = false;
}

void OffsetTimestampsDialog::runModal() {
    showProperties();
    m_intervalField->setFocus(Qt::OtherFocusReason);
    exec();
}

void OffsetTimestampsDialog::doneClicked() {
    accept();
}

void OffsetTimestampsDialog::reject() {
    cancel();
    QDialog::reject();
}

} // namespace wend
