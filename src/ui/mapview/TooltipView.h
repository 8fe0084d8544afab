#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>
#include <QWidget>

class QVariantAnimation;

namespace wend {

// The help bubble shown when a tool is chosen: a heading (the tool's name) over a few lines
// of usage text on a translucent dark rounded rectangle, centred in its parent and kept there
// when the parent is resized. It lets every mouse event through to the map view below.
class TooltipView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kFadeMilliseconds = 250;

    explicit TooltipView(QWidget* parent);

    void setHeading(const QString& heading, const QString& text);
    QString heading() const { return m_heading; }
    QString text() const { return m_text; }

    // Fades in or out; a bubble fading out is already counted as hidden.
    void animateAndSetHidden(bool hidden);
    bool isShowing() const { return m_showing; }

    // The widest line plus 10 by the sum of the line heights plus 1.
    static QSizeF sizeOfText(const QString& text, const QFont& font);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateLayout();

    QString m_heading;
    QString m_text;
    QFont m_headingFont;
    QFont m_textFont;
    double m_opacity = 0;
    bool m_showing = false;
    QVariantAnimation* m_fade = nullptr;
};

} // namespace wend
