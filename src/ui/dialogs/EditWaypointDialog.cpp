#include "ui/dialogs/EditWaypointDialog.h"

#include "core/document/Preferences.h"
#include "ui/dialogs/DoneCancelButtons.h"
#include "ui/dialogs/InstantConversion.h"

#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace wend {

namespace {

QString qText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QDoubleSpinBox* makeCoordinateEdit(QWidget* parent, double limit) {
    auto* edit = new QDoubleSpinBox(parent);
    edit->setDecimals(6);
    edit->setRange(-limit, limit);
    edit->setSingleStep(0.0001);
    edit->setButtonSymbols(QAbstractSpinBox::NoButtons);
    edit->setKeyboardTracking(false);
    return edit;
}

QPushButton* makeSmallButton(const QString& title, QWidget* parent) {
    auto* button = new QPushButton(title, parent);
    button->setAutoDefault(false);
    return button;
}

} // namespace

EditWaypointDialog::EditWaypointDialog(Preferences& preferences, QWidget* parent)
    : QDialog(parent), WaypointEditor(preferences) {
    setWindowTitle(tr("Edit Waypoint"));

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setMinimumWidth(300);
    m_descriptionEdit = new QLineEdit(this);
    m_latitudeEdit = makeCoordinateEdit(this, 90);
    m_longitudeEdit = makeCoordinateEdit(this, 180);

    m_elevationEdit = new QLineEdit(this);
    m_addElevationButton = makeSmallButton(tr("Add"), this);
    m_deleteElevationButton = makeSmallButton(tr("Remove"), this);
    auto* elevationRow = new QHBoxLayout;
    elevationRow->addWidget(m_elevationEdit, 1);
    elevationRow->addWidget(m_addElevationButton);
    elevationRow->addWidget(m_deleteElevationButton);

    m_timeEdit = new QDateTimeEdit(this);
    m_timeEdit->setDisplayFormat(QStringLiteral("d MMM yyyy, HH:mm:ss.zzz"));
    m_timeEdit->setCalendarPopup(true);
    m_timeEdit->setTimeSpec(Qt::LocalTime);
    // The editor's minimum stands for "no time".
    m_timeEdit->setSpecialValueText(tr("No time"));
    m_addTimestampButton = makeSmallButton(tr("Add"), this);
    m_deleteTimestampButton = makeSmallButton(tr("Remove"), this);
    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(m_timeEdit, 1);
    timeRow->addWidget(m_addTimestampButton);
    timeRow->addWidget(m_deleteTimestampButton);

    m_additionalFieldsButton = new QToolButton(this);
    m_additionalFieldsButton->setText(tr("Additional Fields"));
    m_additionalFieldsButton->setAutoRaise(true);
    m_additionalFieldsButton->setArrowType(Qt::RightArrow);
    m_additionalFieldsButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_linkEdit = new QLineEdit(this);
    m_symbolEdit = new QLineEdit(this);
    m_typeEdit = new QLineEdit(this);

    // One form for all fields, so that the additional ones line up with the others.
    m_form = new QFormLayout;
    m_form->addRow(tr("Name:"), m_nameEdit);
    m_form->addRow(tr("Description:"), m_descriptionEdit);
    m_form->addRow(tr("Latitude:"), m_latitudeEdit);
    m_form->addRow(tr("Longitude:"), m_longitudeEdit);
    m_form->addRow(tr("Elevation:"), elevationRow);
    m_form->addRow(tr("Time:"), timeRow);
    m_form->addRow(m_additionalFieldsButton);
    m_form->addRow(tr("Link:"), m_linkEdit);
    m_form->addRow(tr("Symbol:"), m_symbolEdit);
    m_form->addRow(tr("Type:"), m_typeEdit);
    setAdditionalFieldsVisible(false);

    m_buttons = new DoneCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addSpacing(6);
    layout->addWidget(m_buttons);
    // The window grows and shrinks with the additional fields.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_nameEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { setName(utf8(t)); });
    connect(m_descriptionEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { setDescription(utf8(t)); });
    connect(m_linkEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { setLink(utf8(t)); });
    connect(m_symbolEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { setSymbol(utf8(t)); });
    connect(m_typeEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { setWaypointType(utf8(t)); });
    connect(m_latitudeEdit, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        if (!m_showing)
            setLatitude(value);
    });
    connect(m_longitudeEdit, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        if (!m_showing)
            setLongitude(value);
    });
    connect(m_elevationEdit, &QLineEdit::editingFinished, this,
            &EditWaypointDialog::commitElevation);
    connect(m_addElevationButton, &QPushButton::clicked, this,
            &EditWaypointDialog::addElevationClicked);
    connect(m_deleteElevationButton, &QPushButton::clicked, this,
            &EditWaypointDialog::deleteElevationClicked);
    connect(m_timeEdit, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& time) {
        if (!m_showing && time != m_timeEdit->minimumDateTime())
            setTime(instantFromDateTime(time));
    });
    connect(m_addTimestampButton, &QPushButton::clicked, this,
            &EditWaypointDialog::addTimestampClicked);
    connect(m_deleteTimestampButton, &QPushButton::clicked, this,
            &EditWaypointDialog::deleteTimestampClicked);
    connect(m_additionalFieldsButton, &QToolButton::clicked, this,
            &EditWaypointDialog::toggleAdditionalFields);
    connect(m_buttons, &DoneCancelButtons::doneClicked, this, &EditWaypointDialog::doneClicked);
}

QPushButton* EditWaypointDialog::doneButton() const {
    return m_buttons->doneButton();
}

QPushButton* EditWaypointDialog::cancelButton() const {
    return m_buttons->cancelButton();
}

void EditWaypointDialog::showWaypoint() {
    m_showing = true;
    const GPSItemPtr& item = waypoint();
    m_nameEdit->setText(item ? qText(item->itemName()) : QString());
    m_descriptionEdit->setText(item ? qText(item->itemDescription()) : QString());
    m_linkEdit->setText(item ? qText(item->itemLink()) : QString());
    m_symbolEdit->setText(item ? qText(item->wptSym()) : QString());
    m_typeEdit->setText(item ? qText(item->wptType()) : QString());
    const GPSPointPtr p = point();
    m_latitudeEdit->setValue(p && !std::isnan(p->latitude()) ? p->latitude() : 0.0);
    m_longitudeEdit->setValue(p && !std::isnan(p->longitude()) ? p->longitude() : 0.0);
    m_latitudeEdit->setEnabled(p != nullptr);
    m_longitudeEdit->setEnabled(p != nullptr);
    m_showing = false;
    showElevation();
    showTime();
}

void EditWaypointDialog::showElevation() {
    const auto text = pointElevation();
    m_elevationEdit->setText(text ? qText(*text) : QString());
    m_elevationEdit->setModified(false);
    m_elevationEdit->setPlaceholderText(tr("No elevation"));
    m_addElevationButton->setEnabled(point() && !text);
    m_deleteElevationButton->setEnabled(text.has_value());
}

void EditWaypointDialog::showTime() {
    m_showing = true;
    const GPSPointPtr p = point();
    const bool hasTime = p && p->time();
    m_timeEdit->setDateTime(hasTime ? dateTimeFromInstant(*p->time())
                                    : m_timeEdit->minimumDateTime());
    m_timeEdit->setEnabled(hasTime);
    m_addTimestampButton->setEnabled(p && !hasTime);
    m_deleteTimestampButton->setEnabled(hasTime);
    m_showing = false;
}

void EditWaypointDialog::commitElevation() {
    if (!m_elevationEdit->isModified())
        return;
    if (m_elevationEdit->text().trimmed().isEmpty())
        deleteElevation();
    else
        setPointElevation(utf8(m_elevationEdit->text()));
    showElevation();
}

void EditWaypointDialog::addElevationClicked() {
    addElevation();
    showElevation();
    m_elevationEdit->setFocus(Qt::OtherFocusReason);
    m_elevationEdit->selectAll();
}

void EditWaypointDialog::deleteElevationClicked() {
    deleteElevation();
    showElevation();
}

void EditWaypointDialog::addTimestampClicked() {
    addTimestamp();
    showTime();
}

void EditWaypointDialog::deleteTimestampClicked() {
    deleteTimestamp();
    showTime();
}

void EditWaypointDialog::setAdditionalFieldsVisible(bool visible) {
    m_additionalFieldsShown = visible;
    for (QWidget* field : {m_linkEdit, m_symbolEdit, m_typeEdit})
        m_form->setRowVisible(field, visible);
    m_additionalFieldsButton->setArrowType(visible ? Qt::DownArrow : Qt::RightArrow);
}

void EditWaypointDialog::toggleAdditionalFields() {
    const bool visible = !m_additionalFieldsShown;
    setAdditionalFieldsVisible(visible);
    setAdditionalFieldsShown(visible);
}

void EditWaypointDialog::runModal() {
    showWaypoint();
    setAdditionalFieldsVisible(additionalFieldsShownAtStart());
    m_nameEdit->setFocus(Qt::OtherFocusReason);
    m_nameEdit->selectAll();
    exec();
}

void EditWaypointDialog::doneClicked() {
    m_latitudeEdit->interpretText();
    m_longitudeEdit->interpretText();
    if (m_timeEdit->isEnabled())
        m_timeEdit->interpretText();
    commitElevation();
    accept();
}

void EditWaypointDialog::reject() {
    cancel();
    QDialog::reject();
}

} // namespace wend
