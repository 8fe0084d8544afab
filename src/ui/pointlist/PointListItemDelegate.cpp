#include "ui/pointlist/PointListItemDelegate.h"

#include "core/pointlist/PointListEditorController.h"
#include "ui/pointlist/PointListModel.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>

namespace wend {

namespace {
const char* const kColumnProperty = "pointListColumn";
}

PointListItemDelegate::PointListItemDelegate(PointListEditorController& controller, QObject* parent)
    : QStyledItemDelegate(parent), m_controller(controller) {}

QWidget* PointListItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                             const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setObjectName(QStringLiteral("pointListCellEditor"));
        line->setProperty(kColumnProperty, index.column());
        connect(line, &QLineEdit::textEdited, this, [this, line] { markRefused(line, false); });
    }
    return editor;
}

bool PointListItemDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* line = qobject_cast<QLineEdit*>(object);
    if (line && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool confirms = key == Qt::Key_Return || key == Qt::Key_Enter ||
                              key == Qt::Key_Tab || key == Qt::Key_Backtab;
        const PointListColumn column =
            PointListModel::columnAt(line->property(kColumnProperty).toInt());
        if (confirms && !m_controller.acceptsCellText(column, line->text().toStdString())) {
            markRefused(line, true);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

void PointListItemDelegate::markRefused(QWidget* editor, bool refused) const {
    if (editor->property(kRefusedProperty).toBool() == refused)
        return;
    editor->setProperty(kRefusedProperty, refused);
    if (!refused) {
        editor->setStyleSheet({});
        editor->setToolTip({});
        QToolTip::hideText();
        return;
    }
    editor->setStyleSheet(
        QStringLiteral("QLineEdit { border: 2px solid #c62828; background: #fdecea; color: black; }"));
    const std::string reason = m_controller.refusalText(
        PointListModel::columnAt(editor->property(kColumnProperty).toInt()));
    const QString text = QString::fromStdString(reason);
    editor->setToolTip(text);
    QToolTip::showText(editor->mapToGlobal(QPoint(0, editor->height())), text, editor);
}

} // namespace wend
