#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/processing/UnitFormatter.h"
#include "core/profile/ProfileAxisTicks.h"
#include "core/profile/ProfileDecimator.h"
#include "core/profile/ProfileModel.h"
#endif

#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class QPainter;

namespace wend {

// Draws the profile of a ProfileModel with QPainter (on the widget, or into an exported image
// of any pixel ratio) and maps between places on the horizontal axis and x coordinates of a
// drawing of a given size. The elevation of each entry is filled in its path colour; a second
// quantity can be drawn on a scale of its own; selected stretches are shaded; the point under
// the pointer gets a line, a dot and a readout.
//
// The decimated columns of the last drawing are kept, so drawing again for a hover or a
// selection change costs pixels only; they are computed again when the model, the axis, the
// visible stretch, the second quantity or the width in pixels change.
class ProfileChart {
public:
    struct HoveredPoint {
        std::size_t entry = 0;
        std::size_t index = 0;
        bool operator==(const HoveredPoint&) const = default;
    };

    explicit ProfileChart(const ProfileModel& model);

    ProfileAxis axis() const { return m_axis; }
    // Shows the whole length on the new axis.
    void setAxis(ProfileAxis axis);
    std::optional<ProfileQuantity> secondQuantity() const { return m_secondQuantity; }
    void setSecondQuantity(std::optional<ProfileQuantity> quantity) { m_secondQuantity = quantity; }
    // The second quantity when some entry has values of it.
    std::optional<ProfileQuantity> drawnSecondQuantity() const;
    // Texts are in the formatter's locale and measurement system.
    void setFormatter(UnitFormatter formatter) { m_formatter = std::move(formatter); }
    void setMeasurementSystem(MeasurementSystem system) { m_formatter.setMeasurementSystem(system); }
    const UnitFormatter& formatter() const { return m_formatter; }

    // ---- the visible stretch of the axis (the wheel zooms, a double click resets) -----------
    double visibleStart() const { return visibleRange().first; }
    double visibleEnd() const { return visibleRange().second; }
    bool isZoomed() const { return m_zoom.has_value(); }
    void resetZoom() { m_zoom.reset(); }
    // factor > 1 zooms in; the place stays under the pointer.
    void zoomAround(double position, double factor);
    // Moves the visible stretch by a fraction of its width.
    void scrollBy(double fraction);

    // ---- geometry of a drawing of the given size ---------------------------------------------
    QRectF plotRect(QSizeF size) const;
    double positionAtX(double x, QSizeF size) const;
    double xAtPosition(double position, QSizeF size) const;
    // The entry and point under an x coordinate; none outside the plot or without entries.
    std::optional<HoveredPoint> pointAtX(double x, QSizeF size) const;

    void paint(QPainter& painter, QSizeF size, double devicePixelRatio,
               const std::optional<HoveredPoint>& hover = std::nullopt);

    // The colour the second quantity is drawn in.
    static QColor colorOfQuantity(ProfileQuantity quantity);

private:
    // A vertical scale in display units.
    struct Scale {
        double minimum = 0;
        double maximum = 1;
        ProfileAxisTicks ticks;
        double yOf(double value, const QRectF& plot) const;
    };
    // The smallest and largest value shown of one series, in display units.
    struct ValueRange {
        double minimum = 0;
        double maximum = 0;
        bool valid = false;
    };
    struct Columns {
        std::uint64_t generation = ~std::uint64_t{0};
        ProfileAxis axis = ProfileAxis::Distance;
        std::optional<ProfileQuantity> second;
        MeasurementSystem system = MeasurementSystem::Metric;
        double start = 0;
        double end = 0;
        int count = 0;
        // Per entry: the elevation's columns, then the second quantity's.
        std::vector<std::array<std::vector<ProfileColumn>, 2>> entries;
        std::array<ValueRange, 2> ranges;
    };

    std::pair<double, double> visibleRange() const;
    void updateColumns(int columnCount);
    static Scale scaleFor(const ValueRange& range, double minimumSpan, const QRectF& plot);
    QString emptyText() const;
    void paintXAxis(QPainter& painter, const QRectF& plot, QSizeF size) const;
    void paintYAxis(QPainter& painter, const QRectF& plot, const Scale& scale,
                    ProfileQuantity quantity, bool left) const;
    void paintSelection(QPainter& painter, const QRectF& plot, QSizeF size) const;
    void paintSeries(QPainter& painter, const QRectF& plot, QSizeF size, double devicePixelRatio,
                     std::size_t series, const Scale& scale) const;
    void paintHover(QPainter& painter, const QRectF& plot, QSizeF size, const HoveredPoint& hover,
                    const std::array<std::optional<Scale>, 2>& scales) const;

    const ProfileModel& m_model;
    ProfileAxis m_axis = ProfileAxis::Distance;
    std::optional<ProfileQuantity> m_secondQuantity;
    UnitFormatter m_formatter;
    std::optional<std::pair<double, double>> m_zoom;
    Columns m_columns;
};

} // namespace wend
