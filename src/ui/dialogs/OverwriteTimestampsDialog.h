#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/document/OverwriteTimestampsDialogModel.h"
#endif

#include <QDialog>

class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace wend {

class DoneCancelButtons;
class TimeIntervalField;

// "Overwrite Timestamps": every point of each selected item gets a new time from the start
// date and one rule: a constant speed, a constant interval, or the speed that reaches a
// finish date. Settings that give no usable times are refused: Done then shows why and the
// dialog stays open.
class OverwriteTimestampsDialog : public QDialog, public OverwriteTimestampsDialogModel {
    Q_OBJECT
public:
    explicit OverwriteTimestampsDialog(QWidget* parent = nullptr);

    QDateTimeEdit* startDateEdit() const { return m_startDateEdit; }
    QComboBox* incrementMethodBox() const { return m_incrementMethodBox; }
    QLineEdit* speedEdit() const { return m_speedEdit; }
    TimeIntervalField* intervalField() const { return m_intervalField; }
    QDateTimeEdit* finishDateEdit() const { return m_finishDateEdit; }
    QRadioButton* followOnButton() const { return m_followOnButton; }
    QRadioButton* everyItemFromStartButton() const { return m_everyItemFromStartButton; }
    QLabel* selectionsWarningLabel() const { return m_selectionsWarningLabel; }
    QLabel* refusalLabel() const { return m_refusalLabel; }
    QPushButton* doneButton() const;
    QPushButton* cancelButton() const;

public slots:
    // Takes the speed being typed, then closes unless the settings are refused.
    void doneClicked();
    void reject() override;
    // Shows the control of the chosen increment method and gives it the keyboard focus.
    void changeIncrementMode(int method);

protected:
    void runModal() override;

private:
    void showProperties();
    void commitSpeedText();
    void showRefusal();

    QDateTimeEdit* m_startDateEdit = nullptr;
    QComboBox* m_incrementMethodBox = nullptr;
    QStackedWidget* m_incrementStack = nullptr;
    QLineEdit* m_speedEdit = nullptr;
    TimeIntervalField* m_intervalField = nullptr;
    QDateTimeEdit* m_finishDateEdit = nullptr;
    QRadioButton* m_followOnButton = nullptr;
    QRadioButton* m_everyItemFromStartButton = nullptr;
    QLabel* m_selectionsWarningLabel = nullptr;
    QLabel* m_refusalLabel = nullptr;
    DoneCancelButtons* m_buttons = nullptr;
    bool m_showing = false;
};

} // namespace wend
