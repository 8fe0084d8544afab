#include "core/document/SplitOnRestStopsDialogModel.h"

#include "core/document/WendDocument.h"

namespace wend {

void SplitOnRestStopsDialogModel::prepare() {
    m_settings = RestStopSettings{};
    m_showLivePreview = true;
    didChange();
}

void SplitOnRestStopsDialogModel::setMinTime(double seconds) {
    m_settings.minTime = seconds;
    didChange();
}

void SplitOnRestStopsDialogModel::setMaxDistance(double metres) {
    m_settings.maxDistance = metres;
    didChange();
}

void SplitOnRestStopsDialogModel::setDiscardRestStops(bool discard) {
    m_settings.discardRestStops = discard;
    didChange();
}

void SplitOnRestStopsDialogModel::setShowLivePreview(bool show) {
    m_showLivePreview = show;
    didChange();
}

double SplitOnRestStopsDialogModel::minTimeSliderCurrentValue() const {
    return RestStopSplitter::minTimeSliderValue(m_settings.minTime);
}

void SplitOnRestStopsDialogModel::setMinTimeSliderCurrentValue(double value) {
    setMinTime(RestStopSplitter::minTimeFromSliderValue(value));
}

std::string SplitOnRestStopsDialogModel::minTimeDescription() const {
    return RestStopSplitter::minTimeDescription(m_settings.minTime);
}

std::string SplitOnRestStopsDialogModel::maxDistanceDescription() const {
    return RestStopSplitter::maxDistanceDescription(m_settings.maxDistance);
}

ItemList SplitOnRestStopsDialogModel::mutatedItems() {
    WendDocument* owner = document();
    RestStopSplitter::NextColor nextColor;
    if (owner) {
        owner->resetPathColors();
        nextColor = [owner] { return owner->nextPathColor(); };
    }
    return RestStopSplitter::mutatedItems(originalItems(), m_settings, nextColor);
}

void SplitOnRestStopsDialogModel::refreshPreview() {
    if (!document())
        return;
    if (m_showLivePreview)
        document()->setTempItems(mutatedItems());
    else
        document()->setTempItems(std::nullopt);
}

void SplitOnRestStopsDialogModel::didChange() {
    refreshPreview();
    m_propertiesDidChange.notify();
}

} // namespace wend
