#include "ui/profile/ProfileChart.h"

#include "core/profile/ProfileReadout.h"
#include "ui/mapview/MapFramePainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace wend {

namespace {
constexpr double kLeftMargin = 58;
constexpr double kRightMargin = 16;
constexpr double kRightMarginWithScale = 58;
constexpr double kTopMargin = 22;
constexpr double kBottomMargin = 34;
constexpr int kFontPixelSize = 11;
// The narrowest stretch of the axis the wheel zooms to: metres or seconds.
constexpr double kMinimumVisibleSpan = 10;
// A flat track is not blown up to fill the chart with its noise.
constexpr double kMinimumElevationSpan = 10;
constexpr std::size_t kElevationSeries = 0;
constexpr std::size_t kSecondSeries = 1;

const QColor kPlotBackground(252, 252, 253);
const QColor kGridColor(226, 229, 234);
const QColor kTextColor(60, 63, 68);
const QColor kHoverLineColor(70, 70, 80);
const QColor kSelectionColor(40, 110, 220);

QString qText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont chartFont() {
    QFont font;
    font.setPixelSize(kFontPixelSize);
    return font;
}

QColor colorOfItem(const GPSItem& item) {
    return item.itemColor() ? MapFramePainter::qColor(item.itemColor()->rgba())
                            : QColor(90, 90, 90);
}

// The distance unit of the horizontal axis for the stretch shown: metres per unit and name.
std::pair<double, QString> distanceUnit(double span, MeasurementSystem system) {
    if (system == MeasurementSystem::Metric)
        return span >= 1000 ? std::pair(1000.0, QStringLiteral("km"))
                            : std::pair(1.0, QStringLiteral("m"));
    return span >= UnitFormatter::kMetresPerMile
               ? std::pair(UnitFormatter::kMetresPerMile, QStringLiteral("mi"))
               : std::pair(1 / UnitFormatter::kFeetPerMetre, QStringLiteral("ft"));
}
} // namespace

double ProfileChart::Scale::yOf(double value, const QRectF& plot) const {
    return plot.bottom() - (value - minimum) / (maximum - minimum) * plot.height();
}

ProfileChart::ProfileChart(const ProfileModel& model) : m_model(model) {}

void ProfileChart::setAxis(ProfileAxis axis) {
    m_axis = axis;
    m_zoom.reset();
}

std::optional<ProfileQuantity> ProfileChart::drawnSecondQuantity() const {
    if (m_secondQuantity && m_model.hasValues(*m_secondQuantity))
        return m_secondQuantity;
    return std::nullopt;
}

QColor ProfileChart::colorOfQuantity(ProfileQuantity quantity) {
    switch (quantity) {
    case ProfileQuantity::Speed:
        return QColor(25, 105, 200);
    case ProfileQuantity::HeartRate:
        return QColor(205, 35, 60);
    case ProfileQuantity::Cadence:
        return QColor(130, 60, 170);
    case ProfileQuantity::Temperature:
        return QColor(225, 120, 10);
    case ProfileQuantity::Elevation:
        break;
    }
    return kTextColor;
}

// ---- visible stretch ---------------------------------------------------------------------------

std::pair<double, double> ProfileChart::visibleRange() const {
    const double length = m_model.length(m_axis);
    // A zoom that the items no longer fill (they got shorter) shows everything again.
    if (m_zoom) {
        const double start = std::clamp(m_zoom->first, 0.0, length);
        const double end = std::clamp(m_zoom->second, 0.0, length);
        if (end > start)
            return {start, end};
    }
    return {0.0, length};
}

void ProfileChart::zoomAround(double position, double factor) {
    const double length = m_model.length(m_axis);
    const double start = visibleStart();
    const double end = visibleEnd();
    if (!(length > 0) || !(factor > 0) || end <= start)
        return;
    const double span = std::clamp((end - start) / factor, std::min(kMinimumVisibleSpan, length),
                                   length);
    if (span >= length) {
        m_zoom.reset();
        return;
    }
    const double anchor = std::clamp(position, start, end);
    const double newStart =
        std::clamp(anchor - (anchor - start) / (end - start) * span, 0.0, length - span);
    m_zoom = std::pair(newStart, newStart + span);
}

void ProfileChart::scrollBy(double fraction) {
    if (!m_zoom)
        return;
    const double length = m_model.length(m_axis);
    const double start = visibleStart();
    const double span = visibleEnd() - start;
    const double newStart = std::clamp(start + fraction * span, 0.0, std::max(0.0, length - span));
    m_zoom = std::pair(newStart, newStart + span);
}

// ---- geometry ------------------------------------------------------------------------------------

QRectF ProfileChart::plotRect(QSizeF size) const {
    const double right = drawnSecondQuantity() ? kRightMarginWithScale : kRightMargin;
    return QRectF(kLeftMargin, kTopMargin, std::max(1.0, size.width() - kLeftMargin - right),
                  std::max(1.0, size.height() - kTopMargin - kBottomMargin));
}

double ProfileChart::positionAtX(double x, QSizeF size) const {
    const QRectF plot = plotRect(size);
    const double start = visibleStart();
    return start + (x - plot.left()) / plot.width() * (visibleEnd() - start);
}

double ProfileChart::xAtPosition(double position, QSizeF size) const {
    const QRectF plot = plotRect(size);
    const double start = visibleStart();
    const double span = visibleEnd() - start;
    return plot.left() + (span > 0 ? (position - start) / span * plot.width() : 0.0);
}

std::optional<ProfileChart::HoveredPoint> ProfileChart::pointAtX(double x, QSizeF size) const {
    const QRectF plot = plotRect(size);
    if (x < plot.left() || x > plot.right() || !(m_model.length(m_axis) > 0))
        return std::nullopt;
    const double position = positionAtX(x, size);
    const auto entry = m_model.entryAt(m_axis, position);
    if (!entry)
        return std::nullopt;
    return HoveredPoint{*entry, m_model.entries()[*entry].pointNearest(m_axis, position)};
}

// ---- columns and scales ----------------------------------------------------------------------

void ProfileChart::updateColumns(int columnCount) {
    const auto second = drawnSecondQuantity();
    const MeasurementSystem system = m_formatter.measurementSystem();
    const double start = visibleStart();
    const double end = visibleEnd();
    if (m_columns.generation == m_model.generation() && m_columns.axis == m_axis &&
        m_columns.second == second && m_columns.system == system && m_columns.start == start &&
        m_columns.end == end && m_columns.count == columnCount)
        return;
    m_columns = Columns{m_model.generation(), m_axis, second, system, start, end, columnCount, {}, {}};
    const double columnWidth = (end - start) / columnCount;
    const std::array<std::optional<ProfileQuantity>, 2> quantities = {ProfileQuantity::Elevation,
                                                                      second};
    for (const ProfileEntry& entry : m_model.entries()) {
        auto& columns = m_columns.entries.emplace_back();
        const double offset = entry.offset(m_axis);
        if (offset > end || offset + entry.length(m_axis) < start)
            continue;
        for (std::size_t series = 0; series < quantities.size(); ++series) {
            if (!quantities[series] || !entry.series->hasValues(*quantities[series]))
                continue;
            const ProfileQuantity quantity = *quantities[series];
            columns[series] = ProfileDecimator::decimate(
                entry.series->positions(m_axis), entry.series->values(quantity),
                entry.series->rangeIndex(quantity), start - offset, columnWidth, columnCount);
            ValueRange& range = m_columns.ranges[series];
            for (const ProfileColumn& column : columns[series]) {
                if (column.column < 0 || column.column >= columnCount)
                    continue;
                const double low =
                    displayValueOfProfileQuantity(*quantities[series], column.minimum, system);
                const double high =
                    displayValueOfProfileQuantity(*quantities[series], column.maximum, system);
                range.minimum = range.valid ? std::min(range.minimum, low) : low;
                range.maximum = range.valid ? std::max(range.maximum, high) : high;
                range.valid = true;
            }
        }
    }
}

ProfileChart::Scale ProfileChart::scaleFor(const ValueRange& range, double minimumSpan,
                                           const QRectF& plot) {
    double low = range.minimum;
    double high = range.maximum;
    if (high - low < minimumSpan) {
        const double middle = (low + high) / 2;
        low = middle - minimumSpan / 2;
        high = middle + minimumSpan / 2;
    }
    const int maxTicks = std::max(2, static_cast<int>(plot.height() / 28));
    const ProfileAxisTicks rough = ProfileAxisTicks::numberTicks(low, high, maxTicks);
    Scale scale;
    scale.minimum = std::floor(low / rough.step) * rough.step;
    scale.maximum = std::ceil(high / rough.step) * rough.step;
    if (scale.maximum <= scale.minimum)
        scale.maximum = scale.minimum + rough.step;
    scale.ticks = ProfileAxisTicks::numberTicks(scale.minimum, scale.maximum, maxTicks);
    return scale;
}

QString ProfileChart::emptyText() const {
    if (m_model.isEmpty())
        return m_model.selectedItemsOnly() ? QStringLiteral("No track or route holds a selection")
                                           : QStringLiteral("No tracks or routes to show");
    return m_axis == ProfileAxis::Time ? QStringLiteral("The tracks and routes shown hold no times")
                                       : QStringLiteral("The tracks and routes shown have no length");
}

// ---- painting ------------------------------------------------------------------------------------

void ProfileChart::paint(QPainter& painter, QSizeF size, double devicePixelRatio,
                         const std::optional<HoveredPoint>& hover) {
    painter.save();
    painter.setFont(chartFont());
    painter.fillRect(QRectF(QPointF(0, 0), size), kPlotBackground);
    if (!(m_model.length(m_axis) > 0)) {
        painter.setPen(kTextColor);
        painter.drawText(QRectF(QPointF(0, 0), size), Qt::AlignCenter, emptyText());
        painter.restore();
        return;
    }
    const QRectF plot = plotRect(size);
    const double ratio = std::max(1.0, devicePixelRatio);
    updateColumns(std::max(1, static_cast<int>(std::lround(plot.width() * ratio))));

    std::array<std::optional<Scale>, 2> scales;
    if (m_columns.ranges[kElevationSeries].valid)
        scales[kElevationSeries] = scaleFor(m_columns.ranges[kElevationSeries],
                                            kMinimumElevationSpan, plot);
    if (m_columns.second && m_columns.ranges[kSecondSeries].valid)
        scales[kSecondSeries] = scaleFor(m_columns.ranges[kSecondSeries], 0, plot);

    painter.fillRect(plot, Qt::white);
    paintXAxis(painter, plot, size);
    if (scales[kElevationSeries])
        paintYAxis(painter, plot, *scales[kElevationSeries], ProfileQuantity::Elevation, true);
    if (scales[kSecondSeries]) {
        paintYAxis(painter, plot, *scales[kSecondSeries], *m_columns.second, false);
    } else if (m_secondQuantity) {
        const auto title = titleOfProfileQuantity(*m_secondQuantity);
        painter.setPen(kTextColor.lighter(160));
        painter.drawText(QRectF(plot.left(), 3, plot.width(), plot.top() - 3),
                         Qt::AlignRight | Qt::AlignTop,
                         QStringLiteral("No %1 in the items shown").arg(qText(title).toLower()));
    }

    painter.save();
    painter.setClipRect(plot);
    paintSelection(painter, plot, size);
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t series : {kElevationSeries, kSecondSeries})
        if (scales[series])
            paintSeries(painter, plot, size, ratio, series, *scales[series]);
    painter.restore();

    painter.setPen(QPen(kGridColor.darker(130), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    if (hover && hover->entry < m_model.entries().size())
        paintHover(painter, plot, size, *hover, scales);
    painter.restore();
}

void ProfileChart::paintXAxis(QPainter& painter, const QRectF& plot, QSizeF size) const {
    const double start = visibleStart();
    const double end = visibleEnd();
    const int maxTicks = std::max(2, static_cast<int>(plot.width() / 90));
    const QFontMetricsF metrics(painter.font());
    QString title;
    std::vector<std::pair<double, QString>> ticks; // place on the axis, label
    if (m_axis == ProfileAxis::Distance) {
        const auto [metresPerUnit, unit] = distanceUnit(end - start, m_formatter.measurementSystem());
        const ProfileAxisTicks axisTicks =
            ProfileAxisTicks::numberTicks(start / metresPerUnit, end / metresPerUnit, maxTicks);
        for (double value : axisTicks.values())
            ticks.emplace_back(value * metresPerUnit, qText(m_formatter.formattedDouble(value)));
        title = QStringLiteral("Distance (%1)").arg(unit);
    } else {
        const ProfileAxisTicks axisTicks = ProfileAxisTicks::durationTicks(start, end, maxTicks);
        for (double value : axisTicks.values())
            ticks.emplace_back(value, qText(ProfileAxisTicks::durationLabel(value, axisTicks.step)));
        title = axisTicks.step >= 60 ? QStringLiteral("Elapsed Time (h:mm)")
                                     : QStringLiteral("Elapsed Time (h:mm:ss)");
    }
    for (const auto& [place, label] : ticks) {
        const double x = xAtPosition(place, size);
        painter.setPen(QPen(kGridColor, 1));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom() + 3));
        painter.setPen(kTextColor);
        const double width = metrics.horizontalAdvance(label);
        painter.drawText(QPointF(x - width / 2, plot.bottom() + 4 + metrics.ascent()), label);
    }
    painter.setPen(kTextColor);
    painter.drawText(QRectF(plot.left(), plot.bottom() + 17, plot.width(), metrics.height()),
                     Qt::AlignRight | Qt::AlignTop, title);
}

void ProfileChart::paintYAxis(QPainter& painter, const QRectF& plot, const Scale& scale,
                              ProfileQuantity quantity, bool left) const {
    const QFontMetricsF metrics(painter.font());
    const QColor color = left ? kTextColor : colorOfQuantity(quantity);
    for (double value : scale.ticks.values()) {
        const double y = scale.yOf(value, plot);
        const QString label = qText(m_formatter.formattedDouble(value));
        if (left) {
            painter.setPen(QPen(kGridColor, 1));
            painter.drawLine(QPointF(plot.left() - 3, y), QPointF(plot.right(), y));
        } else {
            painter.setPen(QPen(color, 1));
            painter.drawLine(QPointF(plot.right(), y), QPointF(plot.right() + 3, y));
        }
        painter.setPen(color);
        const double width = metrics.horizontalAdvance(label);
        const double x = left ? plot.left() - 6 - width : plot.right() + 6;
        painter.drawText(QPointF(x, y + metrics.ascent() / 2 - 1), label);
    }
    const QString title = QStringLiteral("%1 (%2)").arg(
        qText(titleOfProfileQuantity(quantity)),
        qText(unitOfProfileQuantity(quantity, m_formatter.measurementSystem())));
    painter.setPen(color);
    const QRectF titleRect(plot.left(), 3, plot.width(), metrics.height());
    painter.drawText(titleRect, (left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop, title);
}

void ProfileChart::paintSelection(QPainter& painter, const QRectF& plot, QSizeF size) const {
    for (const ProfileStretch& stretch : m_model.selectedStretches(m_axis)) {
        double from = xAtPosition(stretch.from, size);
        double to = xAtPosition(stretch.to, size);
        if (to < plot.left() || from > plot.right())
            continue;
        // A selected single point still shows.
        if (to - from < 2) {
            const double middle = (from + to) / 2;
            from = middle - 1;
            to = middle + 1;
        }
        // One highlight for every item: a shade of the item's own colour would hide its line.
        QColor color = kSelectionColor;
        color.setAlpha(55);
        painter.fillRect(QRectF(from, plot.top(), to - from, plot.height()), color);
        color.setAlpha(170);
        painter.setPen(QPen(color, 1));
        painter.drawLine(QPointF(from, plot.top()), QPointF(from, plot.bottom()));
        painter.drawLine(QPointF(to, plot.top()), QPointF(to, plot.bottom()));
    }
}

void ProfileChart::paintSeries(QPainter& painter, const QRectF& plot, QSizeF size,
                               double devicePixelRatio, std::size_t series,
                               const Scale& scale) const {
    const auto quantity = series == kElevationSeries ? ProfileQuantity::Elevation : *m_columns.second;
    const MeasurementSystem system = m_formatter.measurementSystem();
    const auto& entries = m_model.entries();
    for (std::size_t e = 0; e < entries.size() && e < m_columns.entries.size(); ++e) {
        const ProfileEntry& entry = entries[e];
        const std::vector<ProfileColumn>& columns = m_columns.entries[e][series];
        if (columns.empty())
            continue;
        // Where an item ends and the next begins.
        if (series == kElevationSeries && e > 0) {
            const double x = xAtPosition(entry.offset(m_axis), size);
            painter.setPen(QPen(kGridColor.darker(115), 1, Qt::DashLine));
            painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        }
        const auto xOf = [&](const ProfileColumn& column) {
            if (column.column < 0 || column.column >= m_columns.count)
                return xAtPosition(entry.offset(m_axis) + column.position, size);
            return plot.left() + (column.column + 0.5) / devicePixelRatio;
        };
        const auto yOf = [&](float value) {
            return scale.yOf(displayValueOfProfileQuantity(quantity, value, system), plot);
        };
        // Each run of columns without a missing value between them is one line.
        std::vector<QPolygonF> runs;
        for (const ProfileColumn& column : columns) {
            if (!column.joinsPrevious || runs.empty())
                runs.emplace_back();
            const double x = xOf(column);
            QPolygonF& run = runs.back();
            run << QPointF(x, yOf(column.first));
            if (column.minimum != column.maximum)
                run << QPointF(x, yOf(column.minimum)) << QPointF(x, yOf(column.maximum));
            if (column.last != column.first || column.minimum != column.maximum)
                run << QPointF(x, yOf(column.last));
        }
        const QColor color = series == kElevationSeries ? colorOfItem(*entry.item)
                                                        : colorOfQuantity(quantity);
        if (series == kElevationSeries) {
            QColor fill = color;
            fill.setAlphaF(0.18f);
            painter.setPen(Qt::NoPen);
            painter.setBrush(fill);
            painter.setRenderHint(QPainter::Antialiasing, false);
            for (const QPolygonF& run : runs) {
                QPolygonF area = run;
                area << QPointF(run.back().x(), plot.bottom()) << QPointF(run.front().x(), plot.bottom());
                painter.drawPolygon(area);
            }
            painter.setRenderHint(QPainter::Antialiasing);
        }
        painter.setBrush(Qt::NoBrush);
        // Hair-lines one device pixel wide take Qt's fast path, whatever the zig-zag of a
        // noisy series; the elevation is drawn twice, half a pixel apart, to stand out.
        QPen pen(color, 1);
        pen.setCosmetic(true);
        painter.setPen(pen);
        const int strokes = series == kElevationSeries ? 2 : 1;
        for (int stroke = 0; stroke < strokes; ++stroke) {
            painter.translate(0, stroke * 0.5);
            for (const QPolygonF& run : runs) {
                if (run.size() == 1)
                    painter.drawPoint(run.front());
                else
                    painter.drawPolyline(run);
            }
            painter.translate(0, -stroke * 0.5);
        }
    }
}

void ProfileChart::paintHover(QPainter& painter, const QRectF& plot, QSizeF size,
                              const HoveredPoint& hover,
                              const std::array<std::optional<Scale>, 2>& scales) const {
    const ProfileEntry& entry = m_model.entries()[hover.entry];
    const double x = xAtPosition(entry.positionOfPoint(m_axis, hover.index), size);
    if (x < plot.left() - 0.5 || x > plot.right() + 0.5)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kHoverLineColor, 1));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));

    const MeasurementSystem system = m_formatter.measurementSystem();
    const std::array<std::optional<ProfileQuantity>, 2> quantities = {ProfileQuantity::Elevation,
                                                                      m_columns.second};
    for (std::size_t series : {kElevationSeries, kSecondSeries}) {
        if (!scales[series] || !quantities[series] || !entry.series->hasValues(*quantities[series]))
            continue;
        const float value = entry.series->values(*quantities[series])[hover.index];
        if (std::isnan(value))
            continue;
        const double y = scales[series]->yOf(
            displayValueOfProfileQuantity(*quantities[series], value, system), plot);
        painter.setPen(QPen(Qt::white, 1.5));
        painter.setBrush(series == kElevationSeries ? colorOfItem(*entry.item)
                                                    : colorOfQuantity(*quantities[series]));
        painter.drawEllipse(QPointF(x, y), 4, 4);
    }

    const ProfileReadout readout = ProfileReadout::readoutForPoint(
        entry, hover.index, m_model.extensionReader(), m_formatter);
    QFont bold = painter.font();
    bold.setBold(true);
    const QFontMetricsF metrics(painter.font());
    const QFontMetricsF boldMetrics(bold);
    QStringList lines;
    for (const StatisticsRow& row : readout.rows)
        lines << QStringLiteral("%1: %2").arg(qText(row.label), qText(row.value));
    const QString title = qText(readout.title);
    const double lineHeight = metrics.height();
    // In two columns where one would not fit the chart's height.
    const int perColumn =
        lineHeight * static_cast<double>(lines.size() + 1) + 8 > size.height()
            ? static_cast<int>((lines.size() + 1) / 2)
            : static_cast<int>(lines.size());
    std::vector<double> columnWidths;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto column = static_cast<std::size_t>(i / std::max(perColumn, 1));
        columnWidths.resize(std::max(columnWidths.size(), column + 1), 0.0);
        columnWidths[column] = std::max(columnWidths[column], metrics.horizontalAdvance(lines[i]));
    }
    double width = 0;
    for (double columnWidth : columnWidths)
        width += columnWidth + 12;
    width = std::max(width, boldMetrics.horizontalAdvance(title) + 12);
    const QSizeF box(width, lineHeight * (perColumn + 1) + 8);
    double left = x + 10;
    if (left + box.width() > plot.right())
        left = x - 10 - box.width();
    left = std::max(left, 0.0);
    const double top = std::clamp(plot.top() + 4, 0.0, std::max(0.0, size.height() - box.height()));
    const QRectF frame(QPointF(left, top), box);
    painter.setPen(QPen(QColor(180, 184, 190), 1));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRoundedRect(frame, 4, 4);
    painter.setPen(kTextColor);
    const double firstBaseline = frame.top() + 4 + metrics.ascent();
    painter.setFont(bold);
    painter.drawText(QPointF(frame.left() + 6, firstBaseline), title);
    painter.setFont(chartFont());
    double columnLeft = frame.left() + 6;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto column = static_cast<std::size_t>(i / std::max(perColumn, 1));
        const qsizetype row = i % std::max(perColumn, 1);
        if (row == 0 && column > 0)
            columnLeft += columnWidths[column - 1] + 12;
        painter.drawText(QPointF(columnLeft, firstBaseline + lineHeight * static_cast<double>(row + 1)),
                         lines[i]);
    }
    painter.restore();
}

} // namespace wend
