#pragma once

#include <QDateTime>
#include <QFrame>

class QDateTimeEdit;

namespace wend {

// The date-and-time control that pops up over a timestamp cell: year to millisecond and the
// time zone, in local time. Return, Enter or "Set" confirm it; Escape, "Cancel" or a click
// elsewhere dismiss it, and nothing changes. It deletes itself when it closes.
class TimestampEditor : public QFrame {
    Q_OBJECT

public:
    // The same pattern as the cells, to the millisecond.
    static constexpr const char* kDisplayFormat = "d MMM yyyy, hh:mm:ss.zzz AP t";

    explicit TimestampEditor(const QDateTime& start, QWidget* parent = nullptr);

    QDateTimeEdit* dateTimeEdit() const { return m_dateTimeEdit; }
    // Shows the control with its top left corner at this place on the screen.
    void popUp(const QPoint& globalPosition);
    void confirm();

signals:
    void confirmed(const QDateTime& time);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QDateTimeEdit* m_dateTimeEdit = nullptr;
};

} // namespace wend
