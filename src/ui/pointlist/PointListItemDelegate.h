#pragma once

#include <QStyledItemDelegate>

namespace wend {

class PointListEditorController;

// Edits latitude, longitude and elevation in a line edit over the cell. A text the controller
// refuses does not end the edit: Return, Enter and Tab leave the editor open with the text,
// marked as refused and with the reason beside it, until the text is corrected or Escape
// cancels the edit.
class PointListItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr const char* kRefusedProperty = "refused";

    explicit PointListItemDelegate(PointListEditorController& controller, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void markRefused(QWidget* editor, bool refused) const;

    PointListEditorController& m_controller;
};

} // namespace wend
