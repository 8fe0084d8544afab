#pragma once

#include "core/model/GPSPoint.h"
#include "core/pointlist/PointListColumn.h"
#include "core/processing/UnitFormatter.h"

#include <optional>
#include <string>
#include <string_view>

namespace wend {

// What is typed into the latitude, longitude and elevation cells: the text an edit starts
// from, the value a typed text gives, and why a text is refused.
class PointListEditText {
public:
    // The value at full precision, without digit grouping, with a decimal point: degrees, or
    // the elevation in the measurement system's unit (a cell showing "1,234 m" edits as 1234).
    // Empty for a value that is not set and for the other columns.
    static std::string editText(PointListColumn column, const GPSPoint& point,
                                MeasurementSystem system);

    // The value a typed text gives in the stored unit (degrees, metres), or nothing when the
    // text is refused. Accepted: blanks, a number (optional sign, digits, a decimal point or the
    // locale's decimal separator), optionally the unit the cell shows ("m" or "ft", "°"),
    // blanks. A latitude beyond ±90 or a longitude beyond ±180 is refused rather than wrapped
    // onto another place, and so is anything after the number: "1,234" in a locale whose
    // separator is "." would otherwise silently read as 1.
    static std::optional<double> valueOfText(PointListColumn column, std::string_view text,
                                             MeasurementSystem system,
                                             std::string_view decimalSeparator);

    // What the user is told when a text is refused.
    static std::string refusalText(PointListColumn column, MeasurementSystem system);
};

} // namespace wend
