#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/document/OffsetTimestampsDialogModel.h"
#endif

#include <QDialog>

class QPushButton;
class QRadioButton;
class QToolButton;

namespace wend {

class DoneCancelButtons;
class TimeIntervalField;

// "Offset Timestamps": shifts the times of the selected points by an interval, later or
// earlier. The interval field opens at 0 with its hours selected; the small stepper beside it
// steps the selected number.
class OffsetTimestampsDialog : public QDialog, public OffsetTimestampsDialogModel {
    Q_OBJECT
public:
    explicit OffsetTimestampsDialog(QWidget* parent = nullptr);

    TimeIntervalField* intervalField() const { return m_intervalField; }
    QToolButton* stepUpButton() const { return m_stepUpButton; }
    QToolButton* stepDownButton() const { return m_stepDownButton; }
    QRadioButton* laterButton() const { return m_laterButton; }
    QRadioButton* earlierButton() const { return m_earlierButton; }
    QPushButton* doneButton() const;
    QPushButton* cancelButton() const;

public slots:
    void doneClicked();
    void reject() override;

protected:
    void runModal() override;

private:
    void showProperties();

    TimeIntervalField* m_intervalField = nullptr;
    QToolButton* m_stepUpButton = nullptr;
    QToolButton* m_stepDownButton = nullptr;
    QRadioButton* m_laterButton = nullptr;
    QRadioButton* m_earlierButton = nullptr;
    DoneCancelButtons* m_buttons = nullptr;
    bool m_showing = false;
};

} // namespace wend
