#include "ui/dialogs/DoneCancelButtons.h"

#include <QDialog>
#include <QPushButton>

namespace wend {

DoneCancelButtons::DoneCancelButtons(QDialog* dialog) : QDialogButtonBox(dialog) {
    m_cancelButton = addButton(QDialogButtonBox::Cancel);
    m_doneButton = addButton(tr("Done"), QDialogButtonBox::AcceptRole);
    m_doneButton->setDefault(true);
    m_doneButton->setAutoDefault(true);
    m_cancelButton->setAutoDefault(false);
    m_doneButton->setObjectName(QStringLiteral("doneButton"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    // Done must be able to refuse, so it does not go through QDialogButtonBox::accepted, which
    // callers tend to connect to QDialog::accept.
    connect(m_doneButton, &QPushButton::clicked, this, &DoneCancelButtons::doneClicked);
    connect(m_cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);
}

} // namespace wend
