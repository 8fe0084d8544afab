#include "ui/app/CommandSpaceRouter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace wend {

CommandSpaceRouter::CommandSpaceRouter(std::function<QWidget*()> target, QObject* parent)
    : QObject(parent), m_target(std::move(target)) {}

bool CommandSpaceRouter::isCommandSpace(const QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
        return key->key() == Qt::Key_Space && modifiers == Qt::ControlModifier;
    }
    default:
        return false;
    }
}

bool CommandSpaceRouter::eventFilter(QObject* watched, QEvent* event) {
    if (m_forwarding || !isCommandSpace(event))
        return QObject::eventFilter(watched, event);
    QWidget* target = m_target ? m_target() : nullptr;
    if (!target)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Claimed here, no shortcut fires; the key press that follows comes through below.
        event->accept();
        return true;
    }
    if (watched == target)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                   static_cast<quint16>(key->count()));
    m_forwarding = true;
    QCoreApplication::sendEvent(target, &copy);
    m_forwarding = false;
    return true;
}

} // namespace wend
