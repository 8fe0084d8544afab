#pragma once

#include "core/model/GPSItem.h"
#include "core/model/Instant.h"
#include "core/processing/UnitFormatter.h"

#include <optional>
#include <string>
#include <string_view>

namespace wend {

// How overwritten times advance from point to point.
enum class TimestampIncrementMethod {
    BySpeed = 0,        // distance to the previous point at a constant speed
    ByTimeInterval = 1, // a constant interval
    ByFinishDate = 2,   // the constant speed that reaches the finish date
};

struct OverwriteTimestampsSettings {
    TimestampIncrementMethod incrementMethod = TimestampIncrementMethod::BySpeed;
    Instant startDate;
    std::optional<Instant> finishDate; // ByFinishDate only
    double speed = 0;                  // metres per second, BySpeed only
    double timeInterval = 1;           // seconds, ByTimeInterval only
    // true: every selected item starts at the start date; false: each selected item starts
    // where the previous one ended.
    bool everyItemFromStartDate = false;
};

// The item list that replaces the document's, or the reason there is none.
struct TimestampRewriteResult {
    std::optional<ItemList> items;
    std::string errorMessage;

    explicit operator bool() const { return items.has_value(); }
};

// What the overwrite dialog opens with, read from the items handed to it.
struct OverwriteTimestampsOpening {
    std::optional<Instant> startDate;   // of the first point of the first selected item
    std::optional<Instant> finishDate;  // of the last point of the last selected item
    bool showSelectionsWarning = false; // some selected item is only partly selected
};

// The computations of the two timestamp dialogs. Both return a copy of every item, in order,
// with copied points; the items handed in and their points are never changed.
class TimestampRewriter {
public:
    // Shifts the times of the selected points by `seconds` (negative moves them back).
    // Points without a time stay without one.
    static ItemList offsetTimestamps(const ItemList& originalItems, double seconds);

    // Gives every point of each selected item (one with a non-empty selection) a new time.
    // Refuses, with a message, inputs that give no usable speed or interval.
    static TimestampRewriteResult overwriteTimestamps(const ItemList& originalItems,
                                                      const OverwriteTimestampsSettings& settings);

    static OverwriteTimestampsOpening openingValues(const ItemList& originalItems);

    // The speed field: its number in km/h or mph, as metres per second.
    static double speedIncrementInMS(double speed, MeasurementSystem system);
    // "5.0 km/h" or "5.0 mph".
    static std::string speedString(double speed, MeasurementSystem system);
    // The text's leading number (0 when it has none): "12.5 km/h" gives 12.5.
    static double speedFromString(std::string_view text);
};

} // namespace wend
