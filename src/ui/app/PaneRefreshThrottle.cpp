#include "ui/app/PaneRefreshThrottle.h"

namespace wend {

PaneRefreshThrottle::PaneRefreshThrottle(std::function<void()> refresh, QObject* parent)
    : QObject(parent), m_refresh(std::move(refresh)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(kIntervalMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, [this] { runIfPending(); });
}

void PaneRefreshThrottle::request() {
    if (!m_throttled) {
        m_refresh();
        return;
    }
    m_pending = true;
    if (!m_timer.isActive())
        m_timer.start();
}

void PaneRefreshThrottle::setThrottled(bool throttled) {
    if (throttled == m_throttled)
        return;
    m_throttled = throttled;
    if (!throttled) {
        m_timer.stop();
        runIfPending();
    }
}

void PaneRefreshThrottle::runIfPending() {
    if (!m_pending)
        return;
    m_pending = false;
    m_refresh();
    // Requests during the refresh wait for the next interval.
    if (m_throttled && !m_timer.isActive())
        m_timer.start();
}

} // namespace wend
