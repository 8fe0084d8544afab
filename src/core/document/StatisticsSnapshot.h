#pragma once

#include "core/model/GPSItem.h"
#include "core/processing/StatisticsRows.h"
#include "core/processing/TrackStatistics.h"
#include "core/processing/UnitFormatter.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

namespace wend {

class WendDocument;

// The statistics pane's rows for a document as it is at one moment, taken on the document's
// thread so that another thread can compute them while the document goes on changing. The
// snapshot holds point lists of its own (sharing the point objects, which an edit replaces
// rather than changes) and only reads the points, so an edit never races with it. Whole items
// whose figures an earlier snapshot found and whose points have not changed since are not
// walked again: after an edit of one point only the edited item is. A snapshot may also take
// only some of the items still to walk, so that it holds copies of a bounded number of point
// lists; the next snapshot, given the figures found, goes on with the others.
class StatisticsSnapshot {
public:
    // The figures of whole items by their pointsRevision (unique to an item's points as they
    // are), for the outlier choice they were computed with.
    struct KnownFigures {
        bool ignoreOutliers = false;
        std::unordered_map<std::uint64_t, std::optional<TrackStatistics>> byPointsRevision;
    };

    // Shown: the document's itemsForStatistics(), what the pane shows. WholeItems: every item,
    // whatever is selected (the figures the tracks list and the pane share).
    enum class Scope { Shown, WholeItems };

    // On the document's thread: the rows for the scope's items, with the measurement system and
    // the outlier choice of the document's preferences. Whole items are taken in order until
    // they hold walkLimit points; those after are left for later. A single point's details
    // come from pointWalk when given (kept by the caller from one snapshot to the next).
    StatisticsSnapshot(const WendDocument& document, UnitFormatter formatter,
                       const KnownFigures& known,
                       std::size_t walkLimit = std::numeric_limits<std::size_t>::max(),
                       Scope scope = Scope::Shown, DerivedValuesWalk* pointWalk = nullptr);

    // The points compute() walks; 0 when the rows are there already.
    std::size_t pointsToWalk() const { return m_pointsToWalk; }
    // Whether its items are the document's whole items (not selected stretches).
    bool coversWholeItems() const { return m_wholeItems; }
    // On any thread, once: the figures of the items taken and, unless items were left for
    // later, the rows, equal to StatisticsRows::selectionStatisticsForTracks' for the document
    // at the moment of the snapshot.
    void compute();
    bool hasRows() const { return !m_rows.empty(); }
    const std::vector<StatisticsRow>& rows() const { return m_rows; }
    // On the document's thread: whether this is that document, still as it was when this was
    // taken.
    bool isCurrentFor(const WendDocument& document) const;
    // After compute(): the whole items' figures this snapshot used, for the next one (none when
    // it was taken of selected stretches).
    KnownFigures knownFigures() const;

private:
    struct Entry {
        GPSItemPtr item; // a copy with its own point list, while its figures are not known
        std::uint64_t pointsRevision = 0; // of the document's item; 0 for a selected stretch
        bool known = false; // part holds the figures
        StatisticsItemPart part;
    };

    const WendDocument* m_document = nullptr;
    std::uint64_t m_statisticsRevision = 0;
    UnitFormatter m_formatter;
    bool m_ignoreOutliers = false;
    bool m_wholeItems = true;
    std::vector<Entry> m_entries;
    std::size_t m_pointsToWalk = 0;
    std::vector<StatisticsRow> m_rows;
};

} // namespace wend
