#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace wend {

// Ctrl+Space goes straight to the map view of the active window, before any shortcut or
// menu can claim it, so that the pan mode works with Ctrl held. Installed on the application
// as an event filter.
class CommandSpaceRouter : public QObject {
    Q_OBJECT

public:
    // `target` names the widget that takes the key now (the active window's map view), or
    // null when there is none; the key then takes its normal path.
    explicit CommandSpaceRouter(std::function<QWidget*()> target, QObject* parent = nullptr);

    static bool isCommandSpace(const QEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<QWidget*()> m_target;
    bool m_forwarding = false;
};

} // namespace wend
