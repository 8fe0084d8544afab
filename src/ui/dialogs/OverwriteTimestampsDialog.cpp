#include "ui/dialogs/OverwriteTimestampsDialog.h"

#include "ui/dialogs/DoneCancelButtons.h"
#include "ui/dialogs/InstantConversion.h"
#include "ui/dialogs/TimeIntervalField.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace wend {

namespace {

const QString kDateFormat = QStringLiteral("d MMM yyyy, HH:mm:ss.zzz");

QDateTimeEdit* makeDateEdit(QWidget* parent) {
    auto* edit = new QDateTimeEdit(parent);
    edit->setDisplayFormat(kDateFormat);
    edit->setCalendarPopup(true);
    edit->setTimeSpec(Qt::LocalTime);
    return edit;
}

} // namespace

OverwriteTimestampsDialog::OverwriteTimestampsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Overwrite Timestamps"));

    auto* explanation = new QLabel(tr("Gives every point of the selected items a new time."), this);
    explanation->setWordWrap(true);

    m_startDateEdit = makeDateEdit(this);
    m_incrementMethodBox = new QComboBox(this);
    m_incrementMethodBox->addItem(tr("At a constant speed"),
                                  static_cast<int>(TimestampIncrementMethod::BySpeed));
    m_incrementMethodBox->addItem(tr("At a constant interval"),
                                  static_cast<int>(TimestampIncrementMethod::ByTimeInterval));
    m_incrementMethodBox->addItem(tr("Reaching a finish time"),
                                  static_cast<int>(TimestampIncrementMethod::ByFinishDate));

    m_speedEdit = new QLineEdit(this);
    m_speedEdit->setToolTip(tr("The speed along the track, in km/h or mph as set in the "
                               "preferences"));
    m_intervalField = new TimeIntervalField(timeIntervalEditor(), this);
    m_finishDateEdit = makeDateEdit(this);
    m_incrementStack = new QStackedWidget(this);
    m_incrementStack->addWidget(m_speedEdit);
    m_incrementStack->addWidget(m_intervalField);
    m_incrementStack->addWidget(m_finishDateEdit);
    m_incrementStack->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    m_followOnButton =
        new QRadioButton(tr("Each item continues where the previous one ends"), this);
    m_everyItemFromStartButton = new QRadioButton(tr("Every item starts at the start time"), this);
    auto* rows = new QButtonGroup(this);
    rows->addButton(m_followOnButton, kFollowOnRow);
    rows->addButton(m_everyItemFromStartButton, kEveryItemFromStartRow);
    auto* rowBox = new QVBoxLayout;
    rowBox->addWidget(m_followOnButton);
    rowBox->addWidget(m_everyItemFromStartButton);

    auto* form = new QFormLayout;
    form->addRow(tr("Start time:"), m_startDateEdit);
    form->addRow(tr("New times:"), m_incrementMethodBox);
    form->addRow(QString(), m_incrementStack);
    form->addRow(tr("Several items:"), rowBox);

    m_selectionsWarningLabel = new QLabel(
        tr("Some items are only partly selected: all of their points get new times."), this);
    m_selectionsWarningLabel->setWordWrap(true);
    m_refusalLabel = new QLabel(this);
    m_refusalLabel->setWordWrap(true);
    QPalette refusalColours = m_refusalLabel->palette();
    refusalColours.setColor(QPalette::WindowText, QColor(190, 20, 20));
    m_refusalLabel->setPalette(refusalColours);
    m_refusalLabel->hide();

    m_buttons = new DoneCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(form);
    layout->addWidget(m_selectionsWarningLabel);
    layout->addWidget(m_refusalLabel);
    layout->addSpacing(6);
    layout->addWidget(m_buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_startDateEdit, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& d) {
        if (!m_showing)
            setStartDate(instantFromDateTime(d));
    });
    connect(m_finishDateEdit, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& d) {
        if (!m_showing)
            setFinishDate(instantFromDateTime(d));
    });
    connect(m_incrementMethodBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_showing)
            return;
        setIncrementMethod(
            static_cast<TimestampIncrementMethod>(m_incrementMethodBox->itemData(index).toInt()));
        changeIncrementMode(index);
    });
    connect(m_speedEdit, &QLineEdit::editingFinished, this,
            &OverwriteTimestampsDialog::commitSpeedText);
    connect(m_intervalField, &TimeIntervalField::intervalEdited, this, [this] {
        if (m_refusalLabel->isVisible())
            showRefusal();
    });
    connect(rows, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !m_showing)
            setMultipleTrackHandlingRow(id);
    });
    connect(m_buttons, &DoneCancelButtons::doneClicked, this,
            &OverwriteTimestampsDialog::doneClicked);
    propertiesDidChange().connect([this] { showProperties(); });
    showProperties();
}

QPushButton* OverwriteTimestampsDialog::doneButton() const {
    return m_buttons->doneButton();
}

QPushButton* OverwriteTimestampsDialog::cancelButton() const {
    return m_buttons->cancelButton();
}

void OverwriteTimestampsDialog::showProperties() {
    m_showing = true;
    const QDateTime start = dateTimeFromInstant(startDate());
    if (m_startDateEdit->dateTime() != start)
        m_startDateEdit->setDateTime(start);
    const QDateTime finish = dateTimeFromInstant(finishDate().value_or(startDate()));
    if (m_finishDateEdit->dateTime() != finish)
        m_finishDateEdit->setDateTime(finish);
    const int method = static_cast<int>(incrementMethod());
    m_incrementMethodBox->setCurrentIndex(m_incrementMethodBox->findData(method));
    m_incrementStack->setCurrentIndex(method);
    // A speed being typed stays as typed until the field is left.
    if (!(m_speedEdit->hasFocus() && m_speedEdit->isModified())) {
        m_speedEdit->setText(QString::fromStdString(speedString()));
        m_speedEdit->setModified(false);
    }
    m_intervalField->refresh();
    (multipleTrackHandlingRow() == kEveryItemFromStartRow ? m_everyItemFromStartButton
                                                          : m_followOnButton)
        ->setChecked(true);
    m_selectionsWarningLabel->setVisible(showSelectionsWarning());
    m_showing = false;
    if (m_refusalLabel->isVisible())
        showRefusal();
}

void OverwriteTimestampsDialog::changeIncrementMode(int method) {
    m_incrementStack->setCurrentIndex(method);
    if (QWidget* control = m_incrementStack->currentWidget())
        control->setFocus(Qt::OtherFocusReason);
    if (method == static_cast<int>(TimestampIncrementMethod::BySpeed))
        m_speedEdit->selectAll();
}

void OverwriteTimestampsDialog::commitSpeedText() {
    if (m_speedEdit->isModified())
        setSpeedString(m_speedEdit->text().toStdString());
    m_speedEdit->setText(QString::fromStdString(speedString()));
    m_speedEdit->setModified(false);
}

void OverwriteTimestampsDialog::showRefusal() {
    const std::string message = refusalMessage();
    m_refusalLabel->setText(QString::fromStdString(message));
    m_refusalLabel->setVisible(!message.empty());
}

void OverwriteTimestampsDialog::runModal() {
    m_refusalLabel->hide();
    showProperties();
    m_startDateEdit->setFocus(Qt::OtherFocusReason);
    exec();
}

void OverwriteTimestampsDialog::doneClicked() {
    commitSpeedText();
    if (!canFinish()) {
        showRefusal();
        QApplication::beep();
        return;
    }
    accept();
}

void OverwriteTimestampsDialog::reject() {
    cancel();
    QDialog::reject();
}

} // namespace wend
