#include "ui/app/StatisticsPane.h"

#include "core/document/ClipboardCommands.h"
#include "core/document/WendDocument.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <limits>
#include <utility>

namespace wend {

namespace {

QString qText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The lines of the pane: "Label: value" with the label in bold, one per kRowHeight, inside a
// one-point frame. Nothing can be selected.
class StatisticsTable : public QWidget {
public:
    StatisticsTable(const std::vector<StatisticsRow>& rows, QWidget* parent)
        : QWidget(parent), m_rows(rows) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect frame = rect();
        painter.fillRect(frame, palette().color(QPalette::Base));
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));

        QFont bold = font();
        bold.setBold(true);
        const QFontMetrics boldMetrics(bold);
        const int left = 6;
        const int right = width() - 6;
        painter.setPen(palette().color(QPalette::Text));
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            const StatisticsRow& row = m_rows[i];
            const QRect line(left, 1 + static_cast<int>(i) * StatisticsPane::kRowHeight,
                             right - left, StatisticsPane::kRowHeight);
            int x = line.left();
            if (!row.label.empty()) {
                const QString label = qText(row.label);
                painter.setFont(bold);
                painter.drawText(QRect(x, line.top(), line.width(), line.height()),
                                 Qt::AlignLeft | Qt::AlignVCenter, label);
                x += boldMetrics.horizontalAdvance(label);
                painter.setFont(font());
                const QString value = QStringLiteral(": ") + qText(row.value);
                painter.drawText(QRect(x, line.top(), line.right() - x, line.height()),
                                 Qt::AlignLeft | Qt::AlignVCenter,
                                 fontMetrics().elidedText(value, Qt::ElideRight, line.right() - x));
            } else {
                painter.setFont(font());
                painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, qText(row.value));
            }
        }
    }

private:
    const std::vector<StatisticsRow>& m_rows;
};

} // namespace

QColor StatisticsPane::backgroundColor() {
    constexpr double keep = 1.0 - 0.03;
    return QColor::fromRgbF(static_cast<float>(210.0 / 255 * keep),
                            static_cast<float>(215.0 / 255 * keep),
                            static_cast<float>(225.0 / 255 * keep));
}

StatisticsPane::StatisticsPane(QWidget* parent) : QWidget(parent) {
    m_refreshThrottle = new PaneRefreshThrottle([this] { refresh(); }, this);
    // The pane keeps its light colouring under dark themes too; its texts follow it.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, backgroundColor());
    colours.setColor(QPalette::WindowText, Qt::black);
    colours.setColor(QPalette::ButtonText, Qt::black);
    colours.setColor(QPalette::Button, backgroundColor());
    colours.setColor(QPalette::Base, QColor(250, 251, 252));
    colours.setColor(QPalette::Text, Qt::black);
    colours.setColor(QPalette::Mid, backgroundColor().darker(125));
    setPalette(colours);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    m_indicatorButton = new QToolButton(this);
    m_indicatorButton->setAutoRaise(true);
    m_indicatorButton->setArrowType(Qt::RightArrow);
    m_indicatorButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_indicatorButton->setText(tr("Statistics"));
    m_indicatorButton->setToolTip(tr("Show or hide the statistics of the selection"));
    m_indicatorButton->setFocusPolicy(Qt::NoFocus);
    connect(m_indicatorButton, &QToolButton::clicked, this, &StatisticsPane::toggleStatisticsView);

    // One at a time: a newer snapshot waits for the running one, whose result is then dropped.
    m_computation.setMaxThreadCount(1);
    m_statisticsTable = new StatisticsTable(m_statistics, this);
    m_statistics = {StatisticsRow{{}, std::string(StatisticsRows::kNoStatisticsText)}};
    setExpanded(false);
}

StatisticsPane::~StatisticsPane() {
    // A computation still running posts its end to this pane, which drops it with its events.
    m_computation.waitForDone();
}

void StatisticsPane::setBackgroundPoints(std::size_t points) {
    WholeItemStatistics::setBackgroundPoints(points);
}

int StatisticsPane::paneHeightFor(std::size_t rowCount, bool expanded) {
    if (!expanded)
        return kCollapsedHeight;
    return static_cast<int>(rowCount) * kRowHeight + kExpandedExtraHeight;
}

void StatisticsPane::setDocument(WendDocument* document, WholeItemStatistics* wholeItems) {
    m_document = document;
    if (m_wholeItems)
        disconnect(m_wholeItems, nullptr, this, nullptr);
    m_waitsForWholeItems = false;
    m_ownWholeItems.reset();
    m_wholeItems = wholeItems;
    if (document && !wholeItems) {
        m_ownWholeItems = std::make_unique<WholeItemStatistics>(*document);
        m_wholeItems = m_ownWholeItems.get();
    }
    if (m_wholeItems) {
        connect(m_wholeItems, &WholeItemStatistics::figuresChanged, this, [this] {
            if (std::exchange(m_waitsForWholeItems, false))
                refresh();
        });
    }
    setExpanded(false);
    if (document) {
        std::weak_ptr<char> alive = m_alive;
        document->statisticsNeedRefresh().connect([this, alive, document] {
            if (!alive.expired() && m_document == document)
                m_refreshThrottle->request();
        });
        if (document->preferences().showStatistics())
            setExpanded(true);
    }
    refresh();
}

void StatisticsPane::setUnitFormatter(UnitFormatter formatter) {
    m_formatter = std::move(formatter);
    refresh();
}

void StatisticsPane::setRefreshThrottled(bool throttled) {
    m_refreshThrottle->setThrottled(throttled);
    if (m_ownWholeItems)
        m_ownWholeItems->setHeld(throttled);
    if (throttled)
        return;
    if (auto held = std::move(m_heldSnapshot)) {
        if (!m_stale && m_document && held->isCurrentFor(*m_document)) {
            startComputing(std::move(held));
        } else {
            m_computing = false;
            if (m_expanded)
                bringUpToDate();
        }
    }
    layOut(); // the height held during the drag
}

void StatisticsPane::refresh() {
    // A closed pane shows no figures: they are computed when it opens or is copied from, not
    // after every change (over a million points they cost more than the change itself).
    m_stale = true;
    if (m_expanded)
        bringUpToDate();
}

void StatisticsPane::bringUpToDate() {
    // A computation under way takes up the changes when it ends.
    if (!m_stale || m_computing)
        return;
    m_stale = false;
    if (!m_document) {
        generateStatisticsForTracks(ItemList());
        return;
    }
    const std::size_t backgroundPoints = WholeItemStatistics::backgroundPoints();
    if (!m_document->hasSelection()) {
        // Whole items: the tracks list shows figures of the same walk, and one walk serves
        // both. Decided before a snapshot copies any point list.
        const std::size_t missing = m_wholeItems->pointsWithoutFigures();
        if (missing > 0 && (missing >= backgroundPoints || m_wholeItems->isComputing())) {
            m_waitsForWholeItems = true;
            if (!m_showsFigures)
                showRows({StatisticsRow{{}, std::string(kComputingText)}});
            m_wholeItems->request();
            return;
        }
    }
    auto snapshot = std::make_shared<StatisticsSnapshot>(
        *m_document, m_formatter, m_wholeItems->known(),
        std::max(kPointsPerComputation, backgroundPoints), StatisticsSnapshot::Scope::Shown,
        &m_pointWalk);
    // Fewer points than the limit: every item was taken.
    const bool atOnce = snapshot->pointsToWalk() < backgroundPoints;
    if (atOnce) {
        snapshot->compute();
        m_wholeItems->addKnown(snapshot->knownFigures());
        showRows(snapshot->rows());
        return;
    }
    m_computing = true;
    if (!m_showsFigures)
        showRows({StatisticsRow{{}, std::string(kComputingText)}});
    // Started from the event loop: a drag that begins in this event sets its new point in place
    // while it lasts, and no computation may read the point then.
    QTimer::singleShot(0, this, [this, snapshot] {
        if (m_refreshThrottle->isThrottled())
            m_heldSnapshot = snapshot;
        else
            startComputing(snapshot);
    });
}

void StatisticsPane::startComputing(std::shared_ptr<StatisticsSnapshot> snapshot) {
    m_computation.start([this, snapshot = std::move(snapshot)]() mutable {
        snapshot->compute();
        // The snapshot goes back whole: its copies of the point lists are freed on this pane's
        // thread, never here.
        QMetaObject::invokeMethod(
            this, [this, done = std::move(snapshot)] { finishComputing(*done); },
            Qt::QueuedConnection);
    });
}

void StatisticsPane::finishComputing(const StatisticsSnapshot& snapshot) {
    m_computing = false;
    const bool current = !m_stale && m_document && snapshot.isCurrentFor(*m_document);
    if (current && snapshot.hasRows()) {
        showRows(snapshot.rows());
        return;
    }
    m_stale = true; // changed meanwhile, or items left for the next computation
    if (m_expanded)
        bringUpToDate();
}

void StatisticsPane::generateStatisticsForTracks(const ItemList& items) {
    UnitFormatter formatter = m_formatter;
    bool ignoreOutliers = false;
    if (m_document) {
        const Preferences& preferences = m_document->preferences();
        formatter.setMeasurementSystem(
            measurementSystemFromPreference(preferences.measurementSystem()));
        ignoreOutliers = preferences.ignoreOutliersWhenCalculatingStatistics();
    }
    showRows(StatisticsRows::selectionStatisticsForTracks(items, formatter, ignoreOutliers));
}

void StatisticsPane::showRows(std::vector<StatisticsRow> rows) {
    m_showsFigures = rows.size() > 1 || (rows.size() == 1 && !rows.front().label.empty());
    m_statistics = std::move(rows);
    layOut();
    m_statisticsTable->update();
    emit statisticsChanged();
}

void StatisticsPane::toggleStatisticsView() {
    toggleStatisticsViewAndSaveState(true);
}

void StatisticsPane::toggleStatisticsViewAndSaveState(bool save) {
    setExpanded(!m_expanded, save);
}

void StatisticsPane::setExpanded(bool expanded, bool save) {
    const bool changed = expanded != m_expanded;
    m_expanded = expanded;
    if (save && m_document)
        m_document->preferences().setShowStatistics(expanded);
    m_indicatorButton->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    if (expanded)
        bringUpToDate();
    layOut();
    if (changed)
        emit expandedChanged(expanded);
}

void StatisticsPane::layOut() {
    // During a drag on the map the pane keeps its height: a new height would move the map
    // under the pointer. It takes its height when the drag ends.
    const bool holdHeight = m_refreshThrottle && m_refreshThrottle->isThrottled() && this->height() > 0;
    const int height = holdHeight ? this->height() : statsDividerPosition();
    const bool heightChanged = height != this->height() || minimumHeight() != height;
    setFixedHeight(height);

    const QSize button = m_indicatorButton->sizeHint();
    m_indicatorButton->setGeometry(6, (kHeaderHeight - button.height()) / 2, button.width(),
                                   button.height());
    m_statisticsTable->setGeometry(10, kHeaderHeight, std::max(0, width() - 20),
                                   static_cast<int>(m_statistics.size()) * kRowHeight + 2);
    m_statisticsTable->setVisible(m_expanded);
    if (heightChanged)
        emit paneHeightChanged(height);
}

void StatisticsPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_statisticsTable->setGeometry(10, kHeaderHeight, std::max(0, width() - 20),
                                   static_cast<int>(m_statistics.size()) * kRowHeight + 2);
}

bool StatisticsPane::copyStatistics() {
    if (!m_clipboard)
        return false;
    if (m_document && (m_stale || m_computing)) {
        // Copied now, not when the other thread is done.
        StatisticsSnapshot snapshot(*m_document, m_formatter, m_wholeItems->known(),
                                    std::numeric_limits<std::size_t>::max(),
                                    StatisticsSnapshot::Scope::Shown, &m_pointWalk);
        snapshot.compute();
        m_wholeItems->addKnown(snapshot.knownFigures());
        m_stale = false;
        showRows(snapshot.rows());
    }
    bringUpToDate();
    ClipboardCommands::copyStatistics(m_statistics, *m_clipboard);
    return true;
}

void StatisticsPane::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("Copy Statistics"), this, &StatisticsPane::copyStatistics);
    copy->setEnabled(m_clipboard != nullptr);
    menu.addAction(m_expanded ? tr("Hide Statistics") : tr("Show Statistics"), this,
                   &StatisticsPane::toggleStatisticsView);
    menu.exec(event->globalPos());
    event->accept();
}

} // namespace wend
