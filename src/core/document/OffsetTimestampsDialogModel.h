#pragma once

#include "core/base/Signal.h"
#include "core/document/ItemMutatorDialog.h"
#include "core/processing/TimeIntervalEditor.h"

#include <cstdint>

namespace wend {

// The logic of the "Offset Timestamps" dialog: shifts the times of the selected points by an
// interval, forwards or backwards. Each opening starts at an interval of 0, forwards. Every
// interval the field can hold is usable, so the dialog never refuses its input.
class OffsetTimestampsDialogModel : public ItemMutatorDialog {
public:
    enum Direction : int { Forwards = 0, Backwards = 1 };

    // The interval field's parts; the Qt field draws and edits this.
    TimeIntervalEditor& intervalEditor() { return m_intervalEditor; }
    const TimeIntervalEditor& intervalEditor() const { return m_intervalEditor; }
    double interval() const { return m_intervalEditor.interval(); }
    void setInterval(double seconds);

    // The tag of the selected direction cell: 0 adds the interval, 1 subtracts it.
    int offsetDirection() const { return m_offsetDirection; }
    void setOffsetDirection(int tag);

    // The stepper next to the field steps the selected part by its value.
    void stepIntervalField(std::int64_t offset);

    // A copy of every item with the selected points' times shifted.
    ItemList mutatedItems() override;

    Signal<>& propertiesDidChange() { return m_propertiesDidChange; }

protected:
    void prepare() override;

private:
    TimeIntervalEditor m_intervalEditor;
    int m_offsetDirection = Forwards;
    Signal<> m_propertiesDidChange;
};

} // namespace wend
