#include "core/document/OffsetTimestampsDialogModel.h"

#include "core/processing/TimestampRewriter.h"

namespace wend {

void OffsetTimestampsDialogModel::prepare() {
    m_intervalEditor.setInterval(0);
    m_intervalEditor.setSelectedField(TimeIntervalEditor::Hours);
    m_offsetDirection = Forwards;
    m_propertiesDidChange.notify();
}

void OffsetTimestampsDialogModel::setInterval(double seconds) {
    m_intervalEditor.setInterval(seconds);
    m_propertiesDidChange.notify();
}

void OffsetTimestampsDialogModel::setOffsetDirection(int tag) {
    m_offsetDirection = tag == Backwards ? Backwards : Forwards;
    m_propertiesDidChange.notify();
}

void OffsetTimestampsDialogModel::stepIntervalField(std::int64_t offset) {
    m_intervalEditor.stepSelectedFieldByOffset(offset);
    m_propertiesDidChange.notify();
}

ItemList OffsetTimestampsDialogModel::mutatedItems() {
    const double seconds = m_offsetDirection == Backwards ? -interval() : interval();
    return TimestampRewriter::offsetTimestamps(originalItems(), seconds);
}

} // namespace wend
