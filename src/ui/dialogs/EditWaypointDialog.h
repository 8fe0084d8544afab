#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/document/WaypointEditor.h"
#endif

#include <QDialog>

class QDateTimeEdit;
class QDoubleSpinBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace wend {

class DoneCancelButtons;
class Preferences;

// "Edit Waypoint": the name, description, position, elevation and time of the one selected
// waypoint, and behind a disclosure button the additional fields (link, symbol, type). The
// edits go to a copy; Done hands it to the document as one undo step. Run it with
// editWaypoint(document).
class EditWaypointDialog : public QDialog, public WaypointEditor {
    Q_OBJECT
public:
    explicit EditWaypointDialog(Preferences& preferences, QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return m_nameEdit; }
    QLineEdit* descriptionEdit() const { return m_descriptionEdit; }
    QDoubleSpinBox* latitudeEdit() const { return m_latitudeEdit; }
    QDoubleSpinBox* longitudeEdit() const { return m_longitudeEdit; }
    QLineEdit* elevationEdit() const { return m_elevationEdit; }
    QPushButton* addElevationButton() const { return m_addElevationButton; }
    QPushButton* deleteElevationButton() const { return m_deleteElevationButton; }
    QDateTimeEdit* timeEdit() const { return m_timeEdit; }
    QPushButton* addTimestampButton() const { return m_addTimestampButton; }
    QPushButton* deleteTimestampButton() const { return m_deleteTimestampButton; }
    QToolButton* additionalFieldsButton() const { return m_additionalFieldsButton; }
    bool additionalFieldsShown() const { return m_additionalFieldsShown; }
    QLineEdit* linkEdit() const { return m_linkEdit; }
    QLineEdit* symbolEdit() const { return m_symbolEdit; }
    QLineEdit* typeEdit() const { return m_typeEdit; }
    QPushButton* doneButton() const;
    QPushButton* cancelButton() const;

public slots:
    // Takes the values of the fields, the one being edited included, and closes.
    void doneClicked();
    void reject() override;
    void toggleAdditionalFields();
    void addElevationClicked();
    void deleteElevationClicked();
    void addTimestampClicked();
    void deleteTimestampClicked();

protected:
    void runModal() override;

private:
    void showWaypoint();
    void showElevation();
    void showTime();
    void commitElevation();
    void setAdditionalFieldsVisible(bool visible);

    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_descriptionEdit = nullptr;
    QDoubleSpinBox* m_latitudeEdit = nullptr;
    QDoubleSpinBox* m_longitudeEdit = nullptr;
    QLineEdit* m_elevationEdit = nullptr;
    QPushButton* m_addElevationButton = nullptr;
    QPushButton* m_deleteElevationButton = nullptr;
    QDateTimeEdit* m_timeEdit = nullptr;
    QPushButton* m_addTimestampButton = nullptr;
    QPushButton* m_deleteTimestampButton = nullptr;
    QToolButton* m_additionalFieldsButton = nullptr;
    QFormLayout* m_form = nullptr;
    bool m_additionalFieldsShown = false;
    QLineEdit* m_linkEdit = nullptr;
    QLineEdit* m_symbolEdit = nullptr;
    QLineEdit* m_typeEdit = nullptr;
    DoneCancelButtons* m_buttons = nullptr;
    bool m_showing = false;
};

} // namespace wend
