#include "ui/app/QSettingsPreferences.h"

#include <QSettings>
#include <QVariant>

namespace wend {

namespace {

QString settingsKey(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

} // namespace

QSettingsPreferences::QSettingsPreferences() : m_settings(std::make_unique<QSettings>()) {}

QSettingsPreferences::QSettingsPreferences(const QString& iniFileName)
    : m_settings(std::make_unique<QSettings>(iniFileName, QSettings::IniFormat)) {}

QSettingsPreferences::~QSettingsPreferences() = default;

bool QSettingsPreferences::hasValue(std::string_view key) const {
    return m_settings->contains(settingsKey(key));
}

void QSettingsPreferences::removeValue(std::string_view key) {
    m_settings->remove(settingsKey(key));
}

void QSettingsPreferences::setBool(std::string_view key, bool value) {
    m_settings->setValue(settingsKey(key), value);
}

void QSettingsPreferences::setInteger(std::string_view key, std::int32_t value) {
    m_settings->setValue(settingsKey(key), value);
}

void QSettingsPreferences::setDouble(std::string_view key, double value) {
    m_settings->setValue(settingsKey(key), value);
}

void QSettingsPreferences::setString(std::string_view key, std::string_view value) {
    m_settings->setValue(settingsKey(key),
                         QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

void QSettingsPreferences::sync() {
    m_settings->sync();
}

std::optional<PreferenceValue> QSettingsPreferences::storedValue(std::string_view key) const {
    const QVariant value = m_settings->value(settingsKey(key));
    if (!value.isValid())
        return std::nullopt;
    // INI files give every value back as text; the native stores may keep the kind.
    switch (value.typeId()) {
    case QMetaType::Bool:
        return PreferenceValue(value.toBool());
    case QMetaType::Int:
        return PreferenceValue(static_cast<std::int32_t>(value.toInt()));
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        // Through double, which the shared conversion clamps to 32 bits.
        return PreferenceValue(value.toDouble());
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return PreferenceValue(value.toString().toStdString());
    default:
        if (value.canConvert<QString>())
            return PreferenceValue(value.toString().toStdString());
        return std::nullopt;
    }
}

std::optional<bool> QSettingsPreferences::storedBool(std::string_view key) const {
    const auto value = storedValue(key);
    return value ? boolFromValue(*value) : std::nullopt;
}

std::optional<std::int32_t> QSettingsPreferences::storedInteger(std::string_view key) const {
    const auto value = storedValue(key);
    return value ? integerFromValue(*value) : std::nullopt;
}

std::optional<double> QSettingsPreferences::storedDouble(std::string_view key) const {
    const auto value = storedValue(key);
    return value ? doubleFromValue(*value) : std::nullopt;
}

std::optional<std::string> QSettingsPreferences::storedString(std::string_view key) const {
    const auto value = storedValue(key);
    return value ? stringFromValue(*value) : std::nullopt;
}

} // namespace wend
