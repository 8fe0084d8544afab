#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/model/GPSItem.h"
#include "core/processing/StatisticsRows.h"
#include "core/processing/UnitFormatter.h"
#include "ui/app/PaneRefreshThrottle.h"
#endif

#include <QWidget>
#include <cstddef>
#include <memory>
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
    // Red 210, green 215, blue 225, darkened 3 % towards black.
    static QColor backgroundColor();

    explicit StatisticsPane(QWidget* parent = nullptr);
    ~StatisticsPane() override;

    // Shows this document's statistics from now on (null: none). Collapses the pane, then
    // expands it when the preference ShowStatisticsView is on (neither is stored).
    void setDocument(WendDocument* document);
    WendDocument* document() const { return m_document; }
    // Where copyStatistics writes (the window's clipboard); without one nothing is copied.
    void setClipboard(Clipboard* clipboard) { m_clipboard = clipboard; }
    // The locale and time zone of the texts; the measurement system is the preference's.
    void setUnitFormatter(UnitFormatter formatter);

    // The lines shown now; while the pane is closed they may be out of date.
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
    // Computes the figures when changes came since they were last computed.
    void bringUpToDate();
    void layOut();

    WendDocument* m_document = nullptr;
    Clipboard* m_clipboard = nullptr;
    UnitFormatter m_formatter;
    std::vector<StatisticsRow> m_statistics;
    bool m_expanded = false;
    bool m_stale = false; // changes came while the pane was closed
    QToolButton* m_indicatorButton = nullptr;
    QWidget* m_statisticsTable = nullptr;
    PaneRefreshThrottle* m_refreshThrottle = nullptr;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace wend
