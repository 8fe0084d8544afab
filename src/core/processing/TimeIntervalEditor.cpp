#include "core/processing/TimeIntervalEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace wend {

namespace {
bool isDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The number of a digit string, saturating so that long input cannot overflow.
std::int64_t numberOfDigits(std::string_view digits) {
    std::int64_t value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > 1'000'000'000)
            return 1'000'000'000;
    }
    return value;
}
} // namespace

double TimeIntervalEditor::interval() const {
    const auto& t = m_timeComponents;
    return t[Milliseconds] * 0.001 + (t[Hours] * 3600.0 + t[Minutes] * 60.0 + t[Seconds]);
}

void TimeIntervalEditor::setInterval(double seconds) {
    if (!(seconds > 0))
        seconds = 0;
    seconds = std::min(seconds, kMaxInterval);
    // Whole microseconds first, so that 1.001 keeps its millisecond despite binary fractions.
    const auto micro = static_cast<std::int64_t>(std::llround(seconds * 1e6));
    const std::int64_t whole = micro / 1'000'000;
    m_timeComponents[Hours] = static_cast<std::uint32_t>(whole / 3600);
    m_timeComponents[Minutes] = static_cast<std::uint32_t>(whole % 3600 / 60);
    m_timeComponents[Seconds] = static_cast<std::uint32_t>(whole % 60);
    m_timeComponents[Milliseconds] = static_cast<std::uint32_t>(micro % 1'000'000 / 1000);
}

std::string TimeIntervalEditor::text() const {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%u hours, %u minutes, %u seconds, %u milliseconds",
                  m_timeComponents[0], m_timeComponents[1], m_timeComponents[2],
                  m_timeComponents[3]);
    return buffer;
}

std::array<TimeIntervalEditor::FieldSpan, 4> TimeIntervalEditor::fieldSpans() const {
    const std::string shown = text();
    std::array<FieldSpan, 4> spans{};
    std::size_t offset = 0;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const std::size_t blank = shown.find(' ', offset);
        spans[i] = FieldSpan{offset, blank - offset};
        const std::size_t separator = shown.find(", ", blank);
        if (separator == std::string::npos)
            break;
        offset = separator + 2;
    }
    return spans;
}

void TimeIntervalEditor::setSelectedField(int field) {
    m_selectedField = field >= Hours && field <= Milliseconds ? field : NoField;
    m_userInput.reset();
}

void TimeIntervalEditor::selectFieldAtPosition(const std::array<double, 4>& leftEdges, double x) {
    int field = NoField;
    for (int i = 0; i < 4; ++i)
        if (leftEdges[static_cast<std::size_t>(i)] <= x)
            field = i;
    setSelectedField(field);
}

std::uint32_t TimeIntervalEditor::selectedFieldValue() const {
    return m_selectedField == NoField ? 0
                                      : m_timeComponents[static_cast<std::size_t>(m_selectedField)];
}

std::uint32_t TimeIntervalEditor::maxValueForSelectedField() const {
    return m_selectedField == NoField ? 0 : kLimits[static_cast<std::size_t>(m_selectedField)];
}

void TimeIntervalEditor::updateSelectedFieldWithValue(std::int64_t value) {
    if (m_selectedField == NoField)
        return;
    const std::int64_t modulus = std::int64_t{maxValueForSelectedField()} + 1;
    std::int64_t wrapped = value % modulus;
    if (wrapped < 0)
        wrapped += modulus;
    m_timeComponents[static_cast<std::size_t>(m_selectedField)] =
        static_cast<std::uint32_t>(wrapped);
}

void TimeIntervalEditor::stepSelectedFieldByOffset(std::int64_t offset) {
    if (m_selectedField == NoField)
        return;
    std::int64_t value = selectedFieldValue();
    if (offset < 1 && value == 0)
        value = std::int64_t{maxValueForSelectedField()} + 1;
    updateSelectedFieldWithValue(value + offset);
}

TimeIntervalEditor::KeyResult TimeIntervalEditor::handleKey(std::string_view characters) {
    const bool deletion = characters == "\b" || characters == "\x7f";
    if (!deletion && !isDigits(characters))
        return KeyResult::NotHandled;
    if (m_selectedField == NoField)
        return KeyResult::Beep;
    if (deletion) {
        m_userInput.reset();
        updateSelectedFieldWithValue(0);
        return KeyResult::Handled;
    }
    std::string candidate = m_userInput.value_or(std::string()) + std::string(characters);
    std::int64_t value = numberOfDigits(candidate);
    if (value <= maxValueForSelectedField()) {
        m_userInput = std::move(candidate);
    } else {
        m_userInput = std::string(characters);
        value = numberOfDigits(characters);
    }
    updateSelectedFieldWithValue(value);
    return KeyResult::Handled;
}

} // namespace wend
