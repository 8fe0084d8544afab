#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wend {

// A time interval edited part by part (hours, minutes, seconds, milliseconds): the value,
// the limits of each part, and the rules for typing digits into the selected part and
// stepping it. The interval field of the timestamp dialogs draws and forwards to this.
class TimeIntervalEditor {
public:
    enum Field : int { NoField = -1, Hours = 0, Minutes = 1, Seconds = 2, Milliseconds = 3 };
    static constexpr std::array<std::uint32_t, 4> kLimits{8760, 59, 59, 999};
    // The longest interval the parts can hold, in seconds.
    static constexpr double kMaxInterval = 8760.0 * 3600 + 59 * 60 + 59.999;

    enum class KeyResult {
        NotHandled, // not a digit, backspace or delete: the text field's own handling applies
        Handled,
        Beep, // a digit or deletion with no part selected
    };

    // Where a part's number lies in text(): byte offset and length.
    struct FieldSpan {
        std::size_t offset = 0;
        std::size_t length = 0;
    };

    double interval() const;
    // Splits the seconds into the parts; values outside 0 ... kMaxInterval (and NaN) are
    // brought to the nearest end.
    void setInterval(double seconds);

    const std::array<std::uint32_t, 4>& timeComponents() const { return m_timeComponents; }
    // "1 hours, 2 minutes, 3 seconds, 500 milliseconds"
    std::string text() const;
    std::array<FieldSpan, 4> fieldSpans() const;

    int selectedField() const { return m_selectedField; }
    // Also forgets the digits typed so far. Values outside 0 ... 3 select nothing.
    void setSelectedField(int field);
    // The part whose number starts at or left of x, given each number's left edge in the
    // same coordinates (NoField when x lies left of the first); selects it.
    void selectFieldAtPosition(const std::array<double, 4>& leftEdges, double x);
    // 0 when no part is selected.
    std::uint32_t selectedFieldValue() const;
    std::uint32_t maxValueForSelectedField() const;

    // The selected part becomes v modulo (its limit + 1), wrapping negative values upwards.
    void updateSelectedFieldWithValue(std::int64_t value);
    // Steps the selected part, wrapping in both directions.
    void stepSelectedFieldByOffset(std::int64_t offset);

    // A key's characters: digits extend the typed number (starting over when it would exceed
    // the part's limit); backspace (8) or delete (127) sets the part to 0.
    KeyResult handleKey(std::string_view characters);
    void focusLost() { m_selectedField = NoField; }

    const std::optional<std::string>& userInput() const { return m_userInput; }

private:
    std::array<std::uint32_t, 4> m_timeComponents{0, 0, 0, 0};
    std::optional<std::string> m_userInput;
    int m_selectedField = NoField;
};

} // namespace wend
