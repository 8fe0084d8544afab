#include "core/document/InMemoryPreferences.h"

namespace wend {

bool InMemoryPreferences::hasValue(std::string_view key) const {
    return storedValue(key) != nullptr;
}

void InMemoryPreferences::removeValue(std::string_view key) {
    if (const auto it = m_values.find(key); it != m_values.end())
        m_values.erase(it);
}

void InMemoryPreferences::setBool(std::string_view key, bool value) {
    setValue(key, value);
}

void InMemoryPreferences::setInteger(std::string_view key, std::int32_t value) {
    setValue(key, value);
}

void InMemoryPreferences::setDouble(std::string_view key, double value) {
    setValue(key, value);
}

void InMemoryPreferences::setString(std::string_view key, std::string_view value) {
    setValue(key, std::string(value));
}

void InMemoryPreferences::setValue(std::string_view key, PreferenceValue value) {
    m_values.insert_or_assign(std::string(key), std::move(value));
}

std::optional<bool> InMemoryPreferences::storedBool(std::string_view key) const {
    const PreferenceValue* value = storedValue(key);
    return value ? boolFromValue(*value) : std::nullopt;
}

std::optional<std::int32_t> InMemoryPreferences::storedInteger(std::string_view key) const {
    const PreferenceValue* value = storedValue(key);
    return value ? integerFromValue(*value) : std::nullopt;
}

std::optional<double> InMemoryPreferences::storedDouble(std::string_view key) const {
    const PreferenceValue* value = storedValue(key);
    return value ? doubleFromValue(*value) : std::nullopt;
}

std::optional<std::string> InMemoryPreferences::storedString(std::string_view key) const {
    const PreferenceValue* value = storedValue(key);
    return value ? stringFromValue(*value) : std::nullopt;
}

const PreferenceValue* InMemoryPreferences::storedValue(std::string_view key) const {
    const auto it = m_values.find(key);
    return it == m_values.end() ? nullptr : &it->second;
}

} // namespace wend
