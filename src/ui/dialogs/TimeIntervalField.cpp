#include "ui/dialogs/TimeIntervalField.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace wend {

namespace {

constexpr int kTextInsetX = 1;
constexpr int kTextInsetY = 3;

} // namespace

TimeIntervalField::TimeIntervalField(TimeIntervalEditor& editor, QWidget* parent)
    : QWidget(parent), m_editor(editor) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFixedHeight(kHeight);
    setCursor(Qt::IBeamCursor);
}

QPointF TimeIntervalField::textOrigin() const {
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const QFontMetricsF metrics(font());
    // Centred in the field, but never closer to the top than the text inset.
    const double top = std::max((height() - metrics.height()) / 2.0, double(kTextInsetY) - 1);
    return {static_cast<double>(frame + kTextInsetX + 2), top};
}

QRectF TimeIntervalField::fieldRect(int field) const {
    if (field < 0 || field > 3)
        return {};
    const std::string text = m_editor.text();
    const auto span = m_editor.fieldSpans()[static_cast<std::size_t>(field)];
    const QFontMetricsF metrics(font());
    const QString before = QString::fromStdString(text.substr(0, span.offset));
    const QString number = QString::fromStdString(text.substr(span.offset, span.length));
    const QPointF origin = textOrigin();
    return {origin.x() + metrics.horizontalAdvance(before), origin.y(),
            metrics.horizontalAdvance(number), metrics.height()};
}

std::array<double, 4> TimeIntervalField::fieldLeftEdges() const {
    std::array<double, 4> edges{};
    for (int field = 0; field < 4; ++field)
        edges[static_cast<std::size_t>(field)] = fieldRect(field).left() - 2;
    return edges;
}

QSize TimeIntervalField::sizeHint() const {
    const QFontMetrics metrics(font());
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("8760 hours, 59 minutes, 59 seconds, 999 milliseconds"));
    return {width + 2 * (frame + kTextInsetX + 2) + 4, kHeight};
}

QSize TimeIntervalField::minimumSizeHint() const {
    return sizeHint();
}

void TimeIntervalField::refresh() {
    update();
}

void TimeIntervalField::stepSelectedField(int offset) {
    if (m_editor.selectedField() == TimeIntervalEditor::NoField) {
        QApplication::beep();
        return;
    }
    m_editor.stepSelectedFieldByOffset(offset);
    update();
    emit intervalEdited(m_editor.interval());
}

void TimeIntervalField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = rect();
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    const int selected = m_editor.selectedField();
    if (hasFocus() && selected != TimeIntervalEditor::NoField)
        frame.state |= QStyle::State_HasFocus;
    else
        frame.state &= ~QStyle::State_HasFocus;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font());
    const QFontMetricsF metrics(font());
    const std::string text = m_editor.text();
    const QPointF origin = textOrigin();
    const double baseline = origin.y() + metrics.ascent();
    const auto spans = m_editor.fieldSpans();

    if (selected != TimeIntervalEditor::NoField) {
        const QRectF box = fieldRect(selected).adjusted(-1, -1, 1, 1);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().brush(hasFocus() ? QPalette::Active : QPalette::Inactive,
                                         QPalette::Highlight));
        painter.drawRoundedRect(box, 2, 2);
    }

    // The text in pieces, so that the selected number can take the highlighted text colour.
    double x = origin.x();
    std::size_t position = 0;
    auto drawPiece = [&](std::size_t end, bool highlighted) {
        if (end <= position)
            return;
        const QString piece = QString::fromStdString(text.substr(position, end - position));
        painter.setPen(palette().color(highlighted ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(QPointF(x, baseline), piece);
        x += metrics.horizontalAdvance(piece);
        position = end;
    };
    for (int field = 0; field < 4; ++field) {
        const auto span = spans[static_cast<std::size_t>(field)];
        drawPiece(span.offset, false);
        drawPiece(span.offset + span.length, field == selected);
    }
    drawPiece(text.size(), false);
}

void TimeIntervalField::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_editor.selectFieldAtPosition(fieldLeftEdges(), event->position().x());
    update();
    event->accept();
}

void TimeIntervalField::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        stepSelectedField(1);
        event->accept();
        return;
    case Qt::Key_Down:
        stepSelectedField(-1);
        event->accept();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int step = event->key() == Qt::Key_Left ? -1 : 1;
        const int field = m_editor.selectedField();
        const int next = field == TimeIntervalEditor::NoField ? 0 : std::clamp(field + step, 0, 3);
        m_editor.setSelectedField(next);
        update();
        event->accept();
        return;
    }
    case Qt::Key_Backspace:
    case Qt::Key_Delete: {
        typeKey(event->key() == Qt::Key_Backspace ? "\b" : "\x7f");
        event->accept();
        return;
    }
    default:
        break;
    }
    const QString typed = event->text();
    bool digits = !typed.isEmpty();
    for (QChar c : typed)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!digits || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QWidget::keyPressEvent(event);
        return;
    }
    typeKey(typed.toStdString());
    event->accept();
}

void TimeIntervalField::typeKey(std::string_view key) {
    const auto result = m_editor.handleKey(key);
    if (result == TimeIntervalEditor::KeyResult::Beep)
        QApplication::beep();
    update();
    if (result == TimeIntervalEditor::KeyResult::Handled)
        emit intervalEdited(m_editor.interval());
}

void TimeIntervalField::focusInEvent(QFocusEvent* event) {
    // Reaching the field with the keyboard puts the typing into its first number.
    if (m_editor.selectedField() == TimeIntervalEditor::NoField &&
        (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
         event->reason() == Qt::ShortcutFocusReason || event->reason() == Qt::OtherFocusReason))
        m_editor.setSelectedField(TimeIntervalEditor::Hours);
    update();
    QWidget::focusInEvent(event);
}

void TimeIntervalField::focusOutEvent(QFocusEvent* event) {
    // A dialog being shown or a menu opening takes the focus only for a moment.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        m_editor.focusLost();
    update();
    QWidget::focusOutEvent(event);
}

} // namespace wend
