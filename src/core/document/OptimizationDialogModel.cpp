#include "core/document/OptimizationDialogModel.h"

#include "core/document/WendDocument.h"
#include "core/processing/TrackSimplifier.h"

namespace wend {

OptimizationDialogModel::OptimizationDialogModel() : m_strength(TrackSimplifier::kDefaultStrength) {
    m_optimizationStrengthString = TrackSimplifier::optimizationStrengthString(m_strength);
}

void OptimizationDialogModel::prepare() {
    setLiveUpdate(true);
    setStrength(TrackSimplifier::kDefaultStrength);
}

void OptimizationDialogModel::setStrength(double strength) {
    m_strength = strength;
    redisplayTracks();
}

void OptimizationDialogModel::setLiveUpdate(bool liveUpdate) {
    m_liveUpdate = liveUpdate;
    redisplayTracks();
}

ItemList OptimizationDialogModel::mutatedItems() {
    return TrackSimplifier::mutatedItems(originalItems(), m_strength);
}

std::uint64_t OptimizationDialogModel::numPointsInItems(const ItemList& items) {
    return TrackSimplifier::numPointsInItems(items);
}

void OptimizationDialogModel::redisplayTracks() {
    m_optimizationStrengthString = TrackSimplifier::optimizationStrengthString(m_strength);
    if (m_liveUpdate) {
        ItemList preview = mutatedItems();
        m_pointsRemovedString = TrackSimplifier::pointsRemovedString(
            numPointsInItems(originalItems()), numPointsInItems(preview));
        if (document())
            document()->setTempItems(std::move(preview));
    } else {
        m_pointsRemovedString.clear();
        if (document())
            document()->setTempItems(std::nullopt);
    }
    m_propertiesDidChange.notify();
}

} // namespace wend
