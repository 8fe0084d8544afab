#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace wend {

// Runs a pane's refresh at once, or, while throttled (during a mouse drag on the map), at most
// once per interval; the refresh still owed runs when the throttling ends, so the pane is
// exact at the end of the drag.
class PaneRefreshThrottle : public QObject {
    Q_OBJECT

public:
    static constexpr int kIntervalMilliseconds = 100;

    PaneRefreshThrottle(std::function<void()> refresh, QObject* parent = nullptr);

    void request();
    void setThrottled(bool throttled);
    bool isThrottled() const { return m_throttled; }

private:
    void runIfPending();

    std::function<void()> m_refresh;
    QTimer m_timer;
    bool m_throttled = false;
    bool m_pending = false;
};

} // namespace wend
