#include "ui/app/MapKeyRouter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace wend {

namespace {
const QKeyEvent* keyEvent(const QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        return static_cast<const QKeyEvent*>(event);
    default:
        return nullptr;
    }
}
} // namespace

MapKeyRouter::MapKeyRouter(std::function<QWidget*()> target, QObject* parent)
    : QObject(parent), m_target(std::move(target)) {}

bool MapKeyRouter::isCommandSpace(const QEvent* event) {
    const QKeyEvent* key = keyEvent(event);
    return key && key->key() == Qt::Key_Space &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

bool MapKeyRouter::isPlainMapKey(const QEvent* event) {
    const QKeyEvent* key = keyEvent(event);
    return key && (key->key() == Qt::Key_Space || key->key() == Qt::Key_X) &&
           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

bool MapKeyRouter::isEditingText(const QWidget* focus) {
    if (!focus)
        return false;
    if (const auto* line = qobject_cast<const QLineEdit*>(focus))
        return !line->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(focus))
        return !text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(focus))
        return !plain->isReadOnly();
    if (qobject_cast<const QAbstractSpinBox*>(focus))
        return true;
    if (const auto* combo = qobject_cast<const QComboBox*>(focus))
        return combo->isEditable();
    return false;
}

bool MapKeyRouter::eventFilter(QObject* watched, QEvent* event) {
    if (m_forwarding)
        return QObject::eventFilter(watched, event);
    const bool commandSpace = isCommandSpace(event);
    if (!commandSpace && (!isPlainMapKey(event) || isEditingText(QApplication::focusWidget())))
        return QObject::eventFilter(watched, event);
    QWidget* target = m_target ? m_target() : nullptr;
    // Only keys sent to widgets of the target's window are taken.
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!target || !widget || widget->window() != target->window())
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
