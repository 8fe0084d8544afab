#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/document/StatisticsSnapshot.h"
#include "core/model/GPSItem.h"
#include "core/processing/StatisticsRows.h"
#include "core/processing/UnitFormatter.h"
#include "ui/app/PaneRefreshThrottle.h"
#include "ui/app/WholeItemStatistics.h"
#endif

#include <QThreadPool>
#include <QWidget>
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

class QLabel;
class QToolButton;

namespace wend {

class Clipboard;
class WendDocument;

// The collapsible statistics pane at the bottom of a document window. It shows one line per
// figure for the items the document hands it (the selected stretches, or every item), and
// recomputes them on every change of the selection or the track data, reading the
// measurement system and the outlier preference each time.
//
// Figures over many points are computed on a thread of their own from a snapshot of the
// document; meanwhile the pane shows the figures it had ("Computing…" when it had none), and
// a result the document has moved on from is dropped. No such computation runs while a drag on
// the map lasts (a drag's tool sets its own new point in place); it starts when the drag ends.
//
// Its height is fixed by its content: kCollapsedHeight while collapsed, rows × kRowHeight +
// kExpandedExtraHeight while expanded. The pane sets that as its fixed height (so a splitter
// cannot move the divider) and announces it with paneHeightChanged. The expanded state comes
// from the preference ShowStatisticsView when a document is set, and the user's toggle stores
// it there again.
//
// The pane never touches the document from its destructor.
class StatisticsPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCollapsedHeight = 40;
    static constexpr int kRowHeight = 19;
    // The space around the rows: the header bar above them, a margin below, the table's frame.
    static constexpr int kExpandedExtraHeight = 48;
    static constexpr int kHeaderHeight = 35;
    // Figures that walk fewer points than this are computed at once, on the window's thread.
    static constexpr std::size_t kDefaultBackgroundPoints = WholeItemStatistics::kDefaultBackgroundPoints;
    // One computation on the other thread walks selected stretches until they hold this many
    // points; the next one goes on with the stretches after them.
    static constexpr std::size_t kPointsPerComputation = WholeItemStatistics::kPointsPerComputation;
    static constexpr std::string_view kComputingText = "Computing…";
    // Red 210, green 215, blue 225, darkened 3 % towards black.
    static QColor backgroundColor();

    explicit StatisticsPane(QWidget* parent = nullptr);
    ~StatisticsPane() override;

    // Tests set a lower number to see the work done on the other thread.
    static void setBackgroundPoints(std::size_t points);

    // Shows this document's statistics from now on (null: none). Collapses the pane, then
    // expands it when the preference ShowStatisticsView is on (neither is stored). The figures
    // of whole items come from wholeItems (the window's, shared with its tracks list), or from
    // a walk of the pane's own without one.
    void setDocument(WendDocument* document, WholeItemStatistics* wholeItems = nullptr);
    WendDocument* document() const { return m_document; }
    // Where copyStatistics writes (the window's clipboard); without one nothing is copied.
    void setClipboard(Clipboard* clipboard) { m_clipboard = clipboard; }
    // The locale and time zone of the texts; the measurement system is the preference's.
    void setUnitFormatter(UnitFormatter formatter);

    // The lines shown now; while the pane is closed or computing they may be out of date.
    const std::vector<StatisticsRow>& statistics() const { return m_statistics; }
    // Recomputes the lines for these items and lays the pane out for their number.
    void generateStatisticsForTracks(const ItemList& items);

    bool isExpanded() const { return m_expanded; }
    // The pane's height for its state and line count.
    static int paneHeightFor(std::size_t rowCount, bool expanded);
    int statsDividerPosition() const { return paneHeightFor(m_statistics.size(), m_expanded); }

public slots:
    // Recomputes the lines for the document's itemsForStatistics().
    void refresh();
    // While a drag on the map lasts the document's requests are served at most every 100 ms.
    void setRefreshThrottled(bool throttled);
    // The user's toggle: collapses or expands and stores the state in the preferences.
    void toggleStatisticsView();
    void toggleStatisticsViewAndSaveState(bool save);
    void setExpanded(bool expanded, bool save = false);
    // Writes the lines as plain text and styled text; false without a clipboard.
    bool copyStatistics();

signals:
    void expandedChanged(bool expanded);
    void paneHeightChanged(int height);
    void statisticsChanged();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Computes the figures when changes came since they were last computed, or starts their
    // computation on the other thread (whole items: waits for m_wholeItems).
    void bringUpToDate();
    void startComputing(std::shared_ptr<StatisticsSnapshot> snapshot);
    void finishComputing(const StatisticsSnapshot& snapshot);
    void showRows(std::vector<StatisticsRow> rows);
    void layOut();

    WendDocument* m_document = nullptr;
    Clipboard* m_clipboard = nullptr;
    UnitFormatter m_formatter;
    std::vector<StatisticsRow> m_statistics;
    bool m_expanded = false;
    bool m_stale = false; // changes came since the figures shown were computed
    bool m_computing = false; // a snapshot waits for or runs on the other thread
    bool m_showsFigures = false; // the lines are figures, not a message
    // A snapshot whose computation waits for the end of a drag.
    std::shared_ptr<StatisticsSnapshot> m_heldSnapshot;
    WholeItemStatistics* m_wholeItems = nullptr;
    std::unique_ptr<WholeItemStatistics> m_ownWholeItems; // without a window's
    bool m_waitsForWholeItems = false; // the figures shown wait for m_wholeItems' walk
    DerivedValuesWalk m_pointWalk; // along the item of the single point shown
    QThreadPool m_computation;
    QToolButton* m_indicatorButton = nullptr;
    QWidget* m_statisticsTable = nullptr;
    PaneRefreshThrottle* m_refreshThrottle = nullptr;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace wend
