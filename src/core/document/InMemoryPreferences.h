#pragma once

#include "core/document/Preferences.h"

#include <functional>
#include <map>
#include <string>

namespace wend {

// Preferences that live as long as the object: for tests and the command line tool.
class InMemoryPreferences : public Preferences {
public:
    bool hasValue(std::string_view key) const override;
    void removeValue(std::string_view key) override;

    void setBool(std::string_view key, bool value) override;
    void setInteger(std::string_view key, std::int32_t value) override;
    void setDouble(std::string_view key, double value) override;
    void setString(std::string_view key, std::string_view value) override;

    // Stores a value of any kind, as a store filled by another program version might hold it.
    void setValue(std::string_view key, PreferenceValue value);

protected:
    std::optional<bool> storedBool(std::string_view key) const override;
    std::optional<std::int32_t> storedInteger(std::string_view key) const override;
    std::optional<double> storedDouble(std::string_view key) const override;
    std::optional<std::string> storedString(std::string_view key) const override;

private:
    const PreferenceValue* storedValue(std::string_view key) const;

    std::map<std::string, PreferenceValue, std::less<>> m_values;
};

} // namespace wend
