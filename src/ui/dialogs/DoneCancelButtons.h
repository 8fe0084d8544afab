#pragma once

#include <QDialogButtonBox>

class QDialog;
class QPushButton;

namespace wend {

// The button row of the editing dialogs: Cancel and the default button Done, so that Return
// confirms and Escape cancels. Done runs the dialog's own slot (which may refuse and keep the
// dialog open); Cancel runs QDialog::reject().
class DoneCancelButtons : public QDialogButtonBox {
    Q_OBJECT
public:
    explicit DoneCancelButtons(QDialog* dialog);

    QPushButton* doneButton() const { return m_doneButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }

signals:
    void doneClicked();

private:
    QPushButton* m_doneButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

} // namespace wend
