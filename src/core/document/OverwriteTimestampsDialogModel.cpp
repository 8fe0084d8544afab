#include "core/document/OverwriteTimestampsDialogModel.h"

#include "core/document/WendDocument.h"

namespace wend {

void OverwriteTimestampsDialogModel::prepare() {
    const OverwriteTimestampsOpening opening = TimestampRewriter::openingValues(originalItems());
    m_startDate = opening.startDate.value_or(Instant::now());
    m_finishDate = opening.finishDate;
    m_showSelectionsWarning = opening.showSelectionsWarning;
    m_timeIntervalEditor.setInterval(1);
    m_speed = 5;
    m_propertiesDidChange.notify();
}

void OverwriteTimestampsDialogModel::setStartDate(std::optional<Instant> date) {
    m_startDate = date.value_or(Instant::now());
    m_propertiesDidChange.notify();
}

void OverwriteTimestampsDialogModel::setFinishDate(std::optional<Instant> date) {
    m_finishDate = date;
    m_propertiesDidChange.notify();
}

void OverwriteTimestampsDialogModel::setTimeInterval(double seconds) {
    m_timeIntervalEditor.setInterval(seconds);
    m_propertiesDidChange.notify();
}

void OverwriteTimestampsDialogModel::setSpeed(double speed) {
    m_speed = speed;
    m_propertiesDidChange.notify();
}

std::string OverwriteTimestampsDialogModel::speedString() const {
    return TimestampRewriter::speedString(m_speed, measurementSystem());
}

void OverwriteTimestampsDialogModel::setSpeedString(std::string_view text) {
    setSpeed(TimestampRewriter::speedFromString(text));
}

double OverwriteTimestampsDialogModel::speedIncrementInMS() const {
    return TimestampRewriter::speedIncrementInMS(m_speed, measurementSystem());
}

void OverwriteTimestampsDialogModel::setIncrementMethod(TimestampIncrementMethod method) {
    m_incrementMethod = method;
    m_propertiesDidChange.notify();
}

void OverwriteTimestampsDialogModel::setMultipleTrackHandlingRow(int row) {
    m_multipleTrackHandlingRow = row;
    m_propertiesDidChange.notify();
}

MeasurementSystem OverwriteTimestampsDialogModel::measurementSystem() const {
    // Read at the moment of use; a dialog that is not running has no preferences to ask.
    return document()
               ? measurementSystemFromPreference(document()->preferences().measurementSystem())
               : MeasurementSystem::Metric;
}

OverwriteTimestampsSettings OverwriteTimestampsDialogModel::rewriteSettings() const {
    OverwriteTimestampsSettings settings;
    settings.incrementMethod = m_incrementMethod;
    settings.startDate = m_startDate;
    settings.finishDate = m_finishDate;
    settings.speed = speedIncrementInMS();
    settings.timeInterval = timeInterval();
    settings.everyItemFromStartDate = m_multipleTrackHandlingRow == kEveryItemFromStartRow;
    return settings;
}

std::string OverwriteTimestampsDialogModel::refusalMessage() const {
    return TimestampRewriter::overwriteTimestamps(originalItems(), rewriteSettings()).errorMessage;
}

ItemList OverwriteTimestampsDialogModel::mutatedItems() {
    TimestampRewriteResult result =
        TimestampRewriter::overwriteTimestamps(originalItems(), rewriteSettings());
    if (!result) {
        cancel();
        return originalItems();
    }
    return std::move(*result.items);
}

} // namespace wend
