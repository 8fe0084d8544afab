#include "ui/pointlist/TimestampEditor.h"

#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>

namespace wend {

TimestampEditor::TimestampEditor(const QDateTime& start, QWidget* parent)
    : QFrame(parent, Qt::Popup) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("timestampEditor"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_dateTimeEdit = new QDateTimeEdit(start, this);
    m_dateTimeEdit->setDisplayFormat(QString::fromLatin1(kDisplayFormat));
    m_dateTimeEdit->setCalendarPopup(true);
    m_dateTimeEdit->setCurrentSection(QDateTimeEdit::HourSection);
    layout->addWidget(m_dateTimeEdit);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    connect(cancel, &QPushButton::clicked, this, &TimestampEditor::close);
    layout->addWidget(cancel);
    auto* set = new QPushButton(tr("Set"), this);
    set->setDefault(true);
    connect(set, &QPushButton::clicked, this, &TimestampEditor::confirm);
    layout->addWidget(set);
    setFocusProxy(m_dateTimeEdit);
}

void TimestampEditor::popUp(const QPoint& globalPosition) {
    adjustSize();
    move(globalPosition);
    show();
    m_dateTimeEdit->setFocus(Qt::PopupFocusReason);
}

void TimestampEditor::confirm() {
    const QDateTime time = m_dateTimeEdit->dateTime();
    close();
    emit confirmed(time);
}

void TimestampEditor::keyPressEvent(QKeyEvent* event) {
    // The date control lets Return and Enter through to here.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        confirm();
        return;
    }
    QFrame::keyPressEvent(event);
}

} // namespace wend
