#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/document/StatisticsSnapshot.h"
#endif

#include <QObject>
#include <QThreadPool>
#include <cstddef>
#include <memory>

namespace wend {

class WendDocument;

// The statistics of a document's whole items, found once for the tracks list (its distance
// and duration columns) and the statistics pane (its figures when nothing is selected). The
// items whose figures are not known for their points as they are, for the outlier choice of
// the preferences, are walked on a thread of their own, from snapshots holding at most
// kPointsPerComputation points each; figuresChanged tells when figures came in.
//
// Like the pane's own computations, one starts from the event loop and never while a drag on
// the map lasts (a drag's tool sets its new point in place while it lasts).
class WholeItemStatistics : public QObject {
    Q_OBJECT
public:
    // Figures that walk fewer points than this are computed at once, on the window's thread.
    static constexpr std::size_t kDefaultBackgroundPoints = 50'000;
    static constexpr std::size_t kPointsPerComputation = 250'000;
    // The views' limit for walking at once; tests set a lower one to see the other thread work.
    static std::size_t backgroundPoints();
    static void setBackgroundPoints(std::size_t points);

    explicit WholeItemStatistics(WendDocument& document, QObject* parent = nullptr);
    // Waits for a running computation; its result is dropped.
    ~WholeItemStatistics() override;

    WendDocument& document() const { return m_document; }
    const StatisticsSnapshot::KnownFigures& known() const { return m_known; }
    // Figures found elsewhere on this thread (a computation of few points done at once).
    void addKnown(const StatisticsSnapshot::KnownFigures& known);
    bool isComputing() const { return m_computing; }
    // The points of the items whose figures are not known for the preferences' outlier choice.
    std::size_t pointsWithoutFigures() const;

public slots:
    // Starts walking the items whose figures are missing, unless a walk is under way (which
    // then goes on with the items still missing when it ends).
    void request();
    // While a drag on the map lasts no walk starts.
    void setHeld(bool held);

signals:
    void figuresChanged();

private:
    void start();
    void finish(const StatisticsSnapshot& snapshot);

    WendDocument& m_document;
    StatisticsSnapshot::KnownFigures m_known;
    bool m_computing = false; // a walk is started, waits for the event loop or runs
    bool m_requested = false; // asked for while a walk ran or was held
    bool m_held = false;
    QThreadPool m_pool;
};

} // namespace wend
