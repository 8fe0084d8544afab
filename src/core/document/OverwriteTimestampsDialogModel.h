#pragma once

#include "core/base/Signal.h"
#include "core/document/ItemMutatorDialog.h"
#include "core/model/Instant.h"
#include "core/processing/TimeIntervalEditor.h"
#include "core/processing/TimestampRewriter.h"

#include <optional>
#include <string>
#include <string_view>

namespace wend {

// The logic of the "Overwrite Timestamps" dialog: every point of each selected item gets a new
// time from a start date and one rule (a constant speed, a constant interval, or the speed that
// reaches a finish date). Each opening starts at the first selected point's time, finishes at
// the last selected point's time, with an interval of 1 s and a speed of 5 km/h (or mph).
//
// Refusal. Settings that give no usable speed or interval (speed 0, a finish date not after the
// start date, selected items without length) are refused with a message: the dialog shows
// refusalMessage() and keeps running while canFinish() is false. A run that ends anyway with
// refused settings counts as cancelled, so the document never receives a half-made result.
class OverwriteTimestampsDialogModel : public ItemMutatorDialog {
public:
    // Rows of the multiple-track choice: row 1 starts every selected item at the start date;
    // any other row lets each selected item follow on from the previous one.
    static constexpr int kFollowOnRow = 0;
    static constexpr int kEveryItemFromStartRow = 1;

    Instant startDate() const { return m_startDate; }
    // Nothing stores the current date and time.
    void setStartDate(std::optional<Instant> date);
    const std::optional<Instant>& finishDate() const { return m_finishDate; }
    void setFinishDate(std::optional<Instant> date);

    // The interval between points (the interval field's parts).
    TimeIntervalEditor& timeIntervalEditor() { return m_timeIntervalEditor; }
    const TimeIntervalEditor& timeIntervalEditor() const { return m_timeIntervalEditor; }
    double timeInterval() const { return m_timeIntervalEditor.interval(); }
    void setTimeInterval(double seconds);

    // The speed field's number, in km/h or mph by the measurement system preference.
    double speed() const { return m_speed; }
    void setSpeed(double speed);
    // "5.0 km/h" or "5.0 mph"; setting it stores the text's leading number as the speed.
    std::string speedString() const;
    void setSpeedString(std::string_view text);
    double speedIncrementInMS() const;

    TimestampIncrementMethod incrementMethod() const { return m_incrementMethod; }
    void setIncrementMethod(TimestampIncrementMethod method);
    int multipleTrackHandlingRow() const { return m_multipleTrackHandlingRow; }
    void setMultipleTrackHandlingRow(int row);

    // Some selected item is only partly selected: all of its points get new times anyway.
    bool showSelectionsWarning() const { return m_showSelectionsWarning; }

    OverwriteTimestampsSettings rewriteSettings() const;
    // Why the current settings cannot be applied; empty when they can.
    std::string refusalMessage() const;
    bool canFinish() const { return refusalMessage().empty(); }

    // A copy of every item, the selected ones re-timed. With refused settings: the items as
    // handed in, and the run is marked cancelled.
    ItemList mutatedItems() override;

    Signal<>& propertiesDidChange() { return m_propertiesDidChange; }

protected:
    void prepare() override;

private:
    MeasurementSystem measurementSystem() const;

    Instant m_startDate;
    std::optional<Instant> m_finishDate;
    TimeIntervalEditor m_timeIntervalEditor;
    double m_speed = 5;
    TimestampIncrementMethod m_incrementMethod = TimestampIncrementMethod::BySpeed;
    int m_multipleTrackHandlingRow = kFollowOnRow;
    bool m_showSelectionsWarning = false;
    Signal<> m_propertiesDidChange;
};

} // namespace wend
