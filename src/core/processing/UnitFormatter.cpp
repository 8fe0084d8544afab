#include "core/processing/UnitFormatter.h"

#include "core/base/TextHelpers.h"
#include "core/model/GPXTime.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <unicode/dcfmtsym.h>
#include <unicode/locid.h>
#include <unicode/numberformatter.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

namespace wend {

MeasurementSystem measurementSystemFromPreference(std::int64_t value) {
    return value == 0 ? MeasurementSystem::Metric : MeasurementSystem::Imperial;
}

namespace {

constexpr const char* kWholeSecondPattern = "d MMM yyyy, hh:mm:ss a ZZZ";
constexpr const char* kFractionPattern = "d MMM yyyy, hh:mm:ss.SSS a ZZZ";
// Metric distances switch to kilometres where the metres would round to 1000.
constexpr double kKilometreThreshold = 999.95;

// The locale a POSIX program would use for this category.
std::string environmentLocaleName(const char* category) {
    for (const char* variable : {"LC_ALL", category, "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return {};
}

icu::Locale icuLocaleNamed(std::string_view name) {
    std::string id(name.substr(0, name.find('.')));
    // POSIX modifiers ("@euro") mean nothing to ICU; ICU keywords ("@calendar=…") do.
    const auto at = id.find('@');
    if (at != std::string::npos && id.find('=', at) == std::string::npos)
        id.erase(at);
    if (id.empty() || id == "C" || id == "POSIX")
        id = "en_US_POSIX";
    return icu::Locale::createCanonical(id.c_str());
}

std::string utf8(const icu::UnicodeString& text) {
    std::string result;
    text.toUTF8String(result);
    return result;
}

std::unique_ptr<icu::SimpleDateFormat>
makeDateFormat(const char* pattern, const icu::Locale& locale, const icu::TimeZone& zone) {
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString::fromUTF8(pattern),
                                                          locale, status);
    if (U_FAILURE(status))
        return nullptr;
    format->setTimeZone(zone);
    return format;
}

// Only reached when ICU could not build a formatter: plain digits, never wrong, just plain.
std::string plainNumber(double value, int fractionDigits) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, fractionDigits);
    return std::string(buffer, result.ptr);
}

std::string joined(const std::string& number, std::string_view unit) {
    std::string text = number;
    text += ' ';
    text += unit;
    return text;
}

} // namespace

struct UnitFormatter::Formatters {
    icu::number::LocalizedNumberFormatter doubleFormatter;
    icu::number::LocalizedNumberFormatter intFormatter;
    std::unique_ptr<icu::SimpleDateFormat> wholeSecondDateFormat;
    std::unique_ptr<icu::SimpleDateFormat> fractionDateFormat;
    std::string decimalSeparator = ".";

    std::string format(const icu::number::LocalizedNumberFormatter& formatter, double value,
                       int fractionDigits) const {
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeString text = formatter.formatDouble(value, status).toString(status);
        if (U_FAILURE(status))
            return plainNumber(value, fractionDigits);
        return utf8(text);
    }
};

UnitFormatter::UnitFormatter(MeasurementSystem system, std::string_view localeName,
                             std::string_view timeZoneId)
    : m_measurementSystem(system) {
    const icu::Locale numberLocale =
        icuLocaleNamed(localeName.empty() ? environmentLocaleName("LC_NUMERIC") : localeName);
    const icu::Locale dateLocale =
        icuLocaleNamed(localeName.empty() ? environmentLocaleName("LC_TIME") : localeName);

    auto formatters = std::make_shared<Formatters>();
    const auto base =
        icu::number::NumberFormatter::withLocale(numberLocale).roundingMode(UNUM_ROUND_HALFEVEN);
    // Rounding to an increment of 0.01 without padding: 1.5 stays "1.5", 36.0 is "36".
    formatters->doubleFormatter = base.precision(icu::number::Precision::maxFraction(2));
    formatters->intFormatter = base.precision(icu::number::Precision::integer());
    UErrorCode status = U_ZERO_ERROR;
    const icu::DecimalFormatSymbols symbols(numberLocale, status);
    if (U_SUCCESS(status))
        formatters->decimalSeparator =
            utf8(symbols.getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol));

    std::unique_ptr<icu::TimeZone> zone(
        timeZoneId.empty()
            ? icu::TimeZone::createDefault()
            : icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(
                  icu::StringPiece(timeZoneId.data(), static_cast<int32_t>(timeZoneId.size())))));
    if (zone) {
        formatters->wholeSecondDateFormat = makeDateFormat(kWholeSecondPattern, dateLocale, *zone);
        formatters->fractionDateFormat = makeDateFormat(kFractionPattern, dateLocale, *zone);
    }
    m_formatters = std::move(formatters);
}

std::string UnitFormatter::formattedDouble(double value) const {
    if (std::isnan(value))
        return std::string(kUnknown);
    return m_formatters->format(m_formatters->doubleFormatter, value, 2);
}

std::string UnitFormatter::formattedInt(double value) const {
    if (std::isnan(value))
        return std::string(kUnknown);
    return m_formatters->format(m_formatters->intFormatter, value, 0);
}

std::string UnitFormatter::distanceStringForMetres(double metres) const {
    if (std::isnan(metres))
        return std::string(kUnknown);
    if (m_measurementSystem == MeasurementSystem::Metric) {
        if (metres < kKilometreThreshold)
            return joined(formattedDouble(metres), "m");
        return joined(formattedDouble(metres * 0.001), "km");
    }
    const double feet = metres * kFeetPerMetre;
    if (feet > kFeetPerMile)
        return joined(formattedDouble(feet / kFeetPerMile), "mi");
    return joined(formattedDouble(feet), "ft");
}

std::string UnitFormatter::elevationStringForMetres(double metres) const {
    if (std::isnan(metres))
        return std::string(kUnknown);
    if (m_measurementSystem == MeasurementSystem::Metric)
        return joined(formattedInt(metres), "m");
    return joined(formattedInt(metres * kFeetPerMetre), "ft");
}

std::string UnitFormatter::speedStringForMetresPerSec(double metresPerSecond) const {
    if (std::isnan(metresPerSecond))
        return std::string(kUnknown);
    if (m_measurementSystem == MeasurementSystem::Metric)
        return joined(formattedDouble(metresPerSecond * 0.001 * 3600.0), "km/h");
    return joined(formattedDouble(metresPerSecond / kMetresPerMile * 3600.0), "mph");
}

std::string UnitFormatter::gradientStringForGradient(double gradient) {
    if (std::isnan(gradient))
        return std::string(kUnknown);
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%0.0f%%", std::fabs(gradient) * 100.0);
    return buffer;
}

std::string UnitFormatter::signedGradientStringForGradient(double gradient) {
    std::string text = gradientStringForGradient(gradient);
    if (std::isfinite(gradient) && text != "0%")
        text.insert(0, gradient < 0 ? "\u2212" : "+");
    return text;
}

const std::string& UnitFormatter::decimalSeparator() const {
    return m_formatters->decimalSeparator;
}

std::string UnitFormatter::timeIntervalStringForTimeInterval(double seconds) {
    if (std::isnan(seconds))
        return std::string(kUnknown);
    return stringWithTimeInterval(seconds);
}

std::string UnitFormatter::timeStringForTime(const std::optional<Instant>& time) const {
    if (!time)
        return std::string(kUnknown);
    const std::int64_t microseconds = time->microsecondsSince1970();
    // Within a tenth of a millisecond of a whole second counts as whole.
    const bool wholeSecond = std::llabs(microseconds % 1000000) < 100;
    const icu::SimpleDateFormat* format = wholeSecond ? m_formatters->wholeSecondDateFormat.get()
                                                      : m_formatters->fractionDateFormat.get();
    if (!format)
        return GPXTime::format(*time);
    icu::UnicodeString text;
    format->format(static_cast<UDate>(microseconds) / 1000.0, text);
    return utf8(text);
}

} // namespace wend
