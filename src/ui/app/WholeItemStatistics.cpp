#include "ui/app/WholeItemStatistics.h"

#include "core/document/WendDocument.h"

#include <QTimer>
#include <unordered_set>

namespace wend {

namespace {
std::size_t g_backgroundPoints = WholeItemStatistics::kDefaultBackgroundPoints;
}

std::size_t WholeItemStatistics::backgroundPoints() {
    return g_backgroundPoints;
}

void WholeItemStatistics::setBackgroundPoints(std::size_t points) {
    g_backgroundPoints = points;
}

WholeItemStatistics::WholeItemStatistics(WendDocument& document, QObject* parent)
    : QObject(parent), m_document(document) {
    m_pool.setMaxThreadCount(1);
}

WholeItemStatistics::~WholeItemStatistics() {
    m_pool.waitForDone();
}

void WholeItemStatistics::addKnown(const StatisticsSnapshot::KnownFigures& known) {
    if (known.ignoreOutliers != m_known.ignoreOutliers) {
        m_known = known;
        return;
    }
    // Figures of items gone or edited since are of no use any more.
    std::unordered_set<std::uint64_t> present;
    for (const auto& item : m_document.items())
        present.insert(item->pointsRevision());
    std::erase_if(m_known.byPointsRevision,
                  [&](const auto& entry) { return !present.contains(entry.first); });
    for (const auto& [revision, statistics] : known.byPointsRevision)
        if (present.contains(revision))
            m_known.byPointsRevision.insert_or_assign(revision, statistics);
}

std::size_t WholeItemStatistics::pointsWithoutFigures() const {
    const bool ignoreOutliers = m_document.preferences().ignoreOutliersWhenCalculatingStatistics();
    std::size_t points = 0;
    for (const auto& item : m_document.items())
        if (ignoreOutliers != m_known.ignoreOutliers ||
            !m_known.byPointsRevision.contains(item->pointsRevision()))
            points += item->itemPoints().size();
    return points;
}

void WholeItemStatistics::request() {
    m_requested = true;
    if (m_computing || m_held)
        return;
    m_computing = true;
    // From the event loop: a drag that begins in this event sets its new point in place while
    // it lasts, and no walk may read the point then.
    QTimer::singleShot(0, this, [this] {
        m_computing = false;
        if (!m_held)
            start();
    });
}

void WholeItemStatistics::setHeld(bool held) {
    m_held = held;
    if (!held && m_requested && !m_computing)
        request();
}

void WholeItemStatistics::start() {
    m_requested = false;
    auto snapshot = std::make_shared<StatisticsSnapshot>(
        m_document, UnitFormatter(), m_known, kPointsPerComputation,
        StatisticsSnapshot::Scope::WholeItems);
    if (snapshot->pointsToWalk() == 0)
        return;
    m_computing = true;
    m_pool.start([this, snapshot = std::move(snapshot)]() mutable {
        snapshot->compute();
        // The snapshot goes back whole: its copies of the point lists are freed on this
        // object's thread, never here.
        QMetaObject::invokeMethod(
            this, [this, done = std::move(snapshot)] { finish(*done); }, Qt::QueuedConnection);
    });
}

void WholeItemStatistics::finish(const StatisticsSnapshot& snapshot) {
    m_computing = false;
    // The items' figures hold while their points do, whatever else changed meanwhile.
    addKnown(snapshot.knownFigures());
    emit figuresChanged();
    // Items left for the next walk, or changed meanwhile.
    request();
}

} // namespace wend
