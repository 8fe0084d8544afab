#pragma once

#include "core/document/Preferences.h"

#include <QString>
#include <memory>

class QSettings;

namespace wend {

// The application's preferences, kept by QSettings between launches.
class QSettingsPreferences : public Preferences {
public:
    // The user's settings of the application (organisation and application names as set on
    // the QCoreApplication).
    QSettingsPreferences();
    // Settings kept in an INI file of the caller's choosing (tests, portable setups).
    explicit QSettingsPreferences(const QString& iniFileName);
    ~QSettingsPreferences() override;

    bool hasValue(std::string_view key) const override;
    void removeValue(std::string_view key) override;

    void setBool(std::string_view key, bool value) override;
    void setInteger(std::string_view key, std::int32_t value) override;
    void setDouble(std::string_view key, double value) override;
    void setString(std::string_view key, std::string_view value) override;

    // Writes pending changes to permanent storage (QSettings also does so by itself).
    void sync();

protected:
    std::optional<bool> storedBool(std::string_view key) const override;
    std::optional<std::int32_t> storedInteger(std::string_view key) const override;
    std::optional<double> storedDouble(std::string_view key) const override;
    std::optional<std::string> storedString(std::string_view key) const override;

private:
    std::optional<PreferenceValue> storedValue(std::string_view key) const;

    std::unique_ptr<QSettings> m_settings;
};

} // namespace wend
