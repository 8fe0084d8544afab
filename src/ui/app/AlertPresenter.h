#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace wend {

// One question to the user: a title, an informative text and the buttons, the first of them
// the default. "Cancel" (when present) is also what Escape chooses; otherwise Escape chooses
// the first button.
struct AlertRequest {
    QString title;
    QString text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::Warning;
};

// Shows an alert and returns the index of the chosen button. Windows take one as a parameter
// so that tests can answer in place of the user.
using AlertPresenter = std::function<int(QWidget* parent, const AlertRequest& request)>;

// The application's presenter: a modal QMessageBox.
int runMessageBox(QWidget* parent, const AlertRequest& request);

// The button Escape chooses.
int escapeButtonIndex(const QStringList& buttons);

} // namespace wend
