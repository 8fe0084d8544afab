#pragma once

#include "core/base/Signal.h"
#include "core/document/ItemMutatorDialog.h"

#include <cstdint>
#include <string>

namespace wend {

// The logic of the "Optimize Selection" dialog: one strength setting that simplifies the
// selected stretches, previewed live on the map. Each opening starts at strength 0.25 with
// live update on. The Qt dialog derives from this, binds its slider, check box and two
// labels to the properties and supplies the modal run.
class OptimizationDialogModel : public ItemMutatorDialog {
public:
    OptimizationDialogModel();

    double strength() const { return m_strength; }
    // Stores the strength and refreshes the preview and the labels.
    void setStrength(double strength);
    bool liveUpdate() const { return m_liveUpdate; }
    void setLiveUpdate(bool liveUpdate);

    // "Optimization Strength: 0.25"
    const std::string& optimizationStrengthString() const { return m_optimizationStrengthString; }
    // "12 (40%) points removed", empty while live update is off.
    const std::string& pointsRemovedString() const { return m_pointsRemovedString; }

    // The simplified copies for the current strength, recomputed from the untouched originals.
    ItemList mutatedItems() override;
    // The number of selected segments over the items.
    static std::uint64_t numPointsInItems(const ItemList& items);

    // Shows the result on the map while live update is on, else the document's own items,
    // and refreshes the labels.
    void redisplayTracks();

    // Any property changed; the widgets read them again.
    Signal<>& propertiesDidChange() { return m_propertiesDidChange; }

protected:
    void prepare() override;

private:
    double m_strength;
    bool m_liveUpdate = true;
    std::string m_optimizationStrengthString;
    std::string m_pointsRemovedString;
    Signal<> m_propertiesDidChange;
};

} // namespace wend
