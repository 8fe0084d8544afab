#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/processing/TimeIntervalEditor.h"
#endif

#include <QWidget>
#include <array>
#include <string_view>

namespace wend {

// A one-line field showing "1 hours, 2 minutes, 3 seconds, 500 milliseconds" whose four numbers
// are edited one at a time: click a number to select it, type digits, or step it with the up
// and down arrow keys (left and right move to the neighbouring number). Backspace and Delete
// set the number to 0. The value lives in a core TimeIntervalEditor, which this draws and
// forwards to.
class TimeIntervalField : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 22;

    explicit TimeIntervalField(TimeIntervalEditor& editor, QWidget* parent = nullptr);

    TimeIntervalEditor& editor() const { return m_editor; }
    double interval() const { return m_editor.interval(); }

    // The left edge of each number, in widget coordinates, as the click rule compares them
    // (two points left of the glyphs).
    std::array<double, 4> fieldLeftEdges() const;
    // The box of a number's glyphs, in widget coordinates.
    QRectF fieldRect(int field) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // Redraws after the editor was changed elsewhere.
    void refresh();
    void stepSelectedField(int offset);

signals:
    // The user changed the interval (typing or stepping).
    void intervalEdited(double seconds);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Hands a typed key to the editor: a beep when refused, a signal when the value changed.
    void typeKey(std::string_view key);
    QPointF textOrigin() const;

    TimeIntervalEditor& m_editor;
};

} // namespace wend
