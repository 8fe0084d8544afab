#include "ui/app/AboutWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>

namespace wend {

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Wend"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("Wend"), this);
    QFont font = name->font();
    font.setPointSizeF(font.pointSizeF() * 1.8);
    font.setBold(true);
    name->setFont(font);
    name->setAlignment(Qt::AlignHCenter);
    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("versionLabel"));
    version->setAlignment(Qt::AlignHCenter);
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* about = new QLabel(QStringLiteral("An editor for GPS tracks in GPX files."), this);
    about->setAlignment(Qt::AlignHCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(about);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AboutWindow::shortVersionString() {
    return QStringLiteral(WEND_VERSION);
}

QString AboutWindow::buildNumber() {
    const QStringList parts = shortVersionString().split(QLatin1Char('.'));
    int number = 0;
    for (int i = 0; i < 3; ++i)
        number = number * 100 + (i < parts.size() ? parts[i].toInt() : 0);
    return QString::number(number);
}

QString AboutWindow::versionText() {
    return QStringLiteral("Version %1 (%2)").arg(shortVersionString(), buildNumber());
}

} // namespace wend
