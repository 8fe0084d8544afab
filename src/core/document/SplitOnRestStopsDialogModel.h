#pragma once

#include "core/base/Signal.h"
#include "core/document/ItemMutatorDialog.h"
#include "core/processing/RestStopSplitter.h"

#include <string>

namespace wend {

// The logic of the "Split Selection at Rest-stops" dialog: each selected track is cut into the
// moving parts between its rest stops (and, unless they are discarded, the stops themselves),
// previewed live on the map. Each opening starts at 45 minutes, 20 metres, discarding the
// stops, with the preview on. The pieces take the document's path colours from the start of
// the pool on every computation, so the committed colours are the ones last previewed.
class SplitOnRestStopsDialogModel : public ItemMutatorDialog {
public:
    double minTime() const { return m_settings.minTime; }
    // Each setter stores the value and refreshes the preview.
    void setMinTime(double seconds);
    double maxDistance() const { return m_settings.maxDistance; }
    void setMaxDistance(double metres);
    bool discardRestStops() const { return m_settings.discardRestStops; }
    void setDiscardRestStops(bool discard);
    bool showLivePreview() const { return m_showLivePreview; }
    void setShowLivePreview(bool show);
    const RestStopSettings& settings() const { return m_settings; }

    // The minimum-time slider works on the cube root of the time, from about a minute to a day.
    double minTimeSliderCurrentValue() const;
    void setMinTimeSliderCurrentValue(double value);
    static double minTimeSliderMinValue() { return RestStopSplitter::minTimeSliderMinValue(); }
    static double minTimeSliderMaxValue() { return RestStopSplitter::minTimeSliderMaxValue(); }
    // "0h 45m 0s"
    std::string minTimeDescription() const;
    // "20.0 metres"
    std::string maxDistanceDescription() const;

    // Unselected items as they are, each selected one replaced by its pieces.
    ItemList mutatedItems() override;
    // Shows the pieces on the map while the preview is on, else the document's own items.
    void refreshPreview();

    Signal<>& propertiesDidChange() { return m_propertiesDidChange; }

protected:
    void prepare() override;

private:
    void didChange();

    RestStopSettings m_settings;
    bool m_showLivePreview = true;
    Signal<> m_propertiesDidChange;
};

} // namespace wend
