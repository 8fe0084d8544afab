#include "ui/app/AlertPresenter.h"

#include <QAbstractButton>
#include <QPushButton>

namespace wend {

int escapeButtonIndex(const QStringList& buttons) {
    const auto cancel = buttons.indexOf(QStringLiteral("Cancel"));
    return cancel >= 0 ? static_cast<int>(cancel) : 0;
}

int runMessageBox(QWidget* parent, const AlertRequest& request) {
    QMessageBox box(parent);
    box.setIcon(request.icon);
    // The window title is not shown by every window manager; the text carries the title too.
    box.setWindowTitle(request.title);
    box.setText(request.title);
    box.setInformativeText(request.text);
    const QStringList buttons =
        request.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : request.buttons;
    QList<QAbstractButton*> added;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const QString& title = buttons[i];
        QMessageBox::ButtonRole role = QMessageBox::ActionRole;
        if (i == 0)
            role = QMessageBox::AcceptRole;
        else if (title == QLatin1String("Cancel"))
            role = QMessageBox::RejectRole;
        else if (title == QLatin1String("Don't Save"))
            role = QMessageBox::DestructiveRole;
        added.append(box.addButton(title, role));
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(added.front()));
    box.setEscapeButton(added[escapeButtonIndex(buttons)]);
    box.exec();
    const auto chosen = added.indexOf(box.clickedButton());
    return chosen >= 0 ? static_cast<int>(chosen) : escapeButtonIndex(buttons);
}

} // namespace wend
