#include "ui/mapview/TooltipView.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace wend {

namespace {
constexpr double kCornerRadius = 10;
constexpr double kBackgroundAlpha = 0.8;
constexpr double kPadding = 12;
constexpr double kHeadingGap = 6;
} // namespace

TooltipView::TooltipView(QWidget* parent)
    : QWidget(parent), m_headingFont(font()), m_textFont(font()) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    m_headingFont.setBold(true);
    m_headingFont.setPixelSize(13);
    m_textFont.setPixelSize(12);

    m_fade = new QVariantAnimation(this);
    m_fade->setDuration(kFadeMilliseconds);
    connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_opacity = value.toDouble();
        update();
    });
    connect(m_fade, &QVariantAnimation::finished, this, [this] {
        if (!m_showing)
            hide();
    });
    if (parent)
        parent->installEventFilter(this);
    hide();
}

QSizeF TooltipView::sizeOfText(const QString& text, const QFont& font) {
    const QFontMetricsF metrics(font);
    double width = 0, height = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        width = std::max(width, metrics.horizontalAdvance(line));
        height += metrics.height();
    }
    return {width + 10, height + 1};
}

void TooltipView::setHeading(const QString& heading, const QString& text) {
    m_heading = heading;
    m_text = text;
    updateLayout();
    update();
}

void TooltipView::updateLayout() {
    const QSizeF headingSize = sizeOfText(m_heading, m_headingFont);
    const QSizeF textSize = sizeOfText(m_text, m_textFont);
    const int width =
        static_cast<int>(std::ceil(std::max(headingSize.width(), textSize.width()) + 2 * kPadding));
    const int height = static_cast<int>(
        std::ceil(headingSize.height() + kHeadingGap + textSize.height() + 2 * kPadding));
    const QWidget* parent = parentWidget();
    const QPoint origin =
        parent ? QPoint((parent->width() - width) / 2, (parent->height() - height) / 2) : pos();
    setGeometry(origin.x(), origin.y(), width, height);
}

void TooltipView::animateAndSetHidden(bool hidden) {
    if (hidden == !m_showing)
        return;
    m_showing = !hidden;
    m_fade->stop();
    m_fade->setStartValue(m_opacity);
    m_fade->setEndValue(hidden ? 0.0 : 1.0);
    if (!hidden) {
        updateLayout();
        show();
        raise();
    }
    m_fade->start();
}

bool TooltipView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        updateLayout();
    return QWidget::eventFilter(watched, event);
}

void TooltipView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_opacity);
    QPainterPath background;
    background.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(background, QColor::fromRgbF(0, 0, 0, static_cast<float>(kBackgroundAlpha)));

    painter.setPen(Qt::white);
    const QFontMetricsF headingMetrics(m_headingFont);
    painter.setFont(m_headingFont);
    painter.drawText(
        QRectF(kPadding, kPadding, width() - 2 * kPadding, headingMetrics.height() + 1),
        Qt::AlignHCenter | Qt::AlignTop, m_heading);

    const QFontMetricsF textMetrics(m_textFont);
    painter.setFont(m_textFont);
    double y = kPadding + headingMetrics.height() + 1 + kHeadingGap;
    for (const QString& line : m_text.split(QLatin1Char('\n'))) {
        painter.drawText(QRectF(kPadding, y, width() - 2 * kPadding, textMetrics.height()),
                         Qt::AlignHCenter | Qt::AlignTop, line);
        y += textMetrics.height();
    }
}

} // namespace wend
