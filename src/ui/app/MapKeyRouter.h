#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QWidget;

namespace wend {

// The map's keys reach the map view of the active window whatever has the keyboard focus
// there: Space (pan mode, also with Ctrl, before any shortcut or menu can claim Ctrl+Space)
// and X (the stand-in for Alt of the editing tools). While a text is being edited (a rename in
// the tracks list, a field) the keys type as usual, except Ctrl+Space. Installed on the
// application as an event filter.
class MapKeyRouter : public QObject {
    Q_OBJECT

public:
    // `target` names the widget that takes the keys now (the active window's map view), or
    // null when there is none; the keys then take their normal path.
    explicit MapKeyRouter(std::function<QWidget*()> target, QObject* parent = nullptr);

    static bool isCommandSpace(const QEvent* event);
    // Space or X with neither Ctrl, Alt nor Meta, pressed or released.
    static bool isPlainMapKey(const QEvent* event);
    // Whether the widget with the keyboard focus is editing text.
    static bool isEditingText(const QWidget* focus);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<QWidget*()> m_target;
    bool m_forwarding = false;
};

} // namespace wend
