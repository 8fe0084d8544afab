#include "core/model/GPXTime.h"

#include <cstring>

namespace wend {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads exactly n digits at p.
bool readDigits(const char*& p, const char* end, int n, int& value) {
    if (end - p < n)
        return false;
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (!isDigit(p[i]))
            return false;
        v = v * 10 + (p[i] - '0');
    }
    value = v;
    p += n;
    return true;
}

bool expect(const char*& p, const char* end, char c) {
    if (p == end || *p != c)
        return false;
    ++p;
    return true;
}

bool isLeapYear(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned daysInMonth(std::int64_t year, unsigned month) {
    static constexpr unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

char* putDigits(char* out, std::int64_t value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + width;
}
} // namespace

std::int64_t GPXTime::daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void GPXTime::civilFromDays(std::int64_t z, std::int64_t& year, unsigned& month, unsigned& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = y + (month <= 2);
}

std::optional<Instant> GPXTime::parse(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && isBlank(*p))
        ++p;
    while (end > p && isBlank(end[-1]))
        --end;

    int year, month, day, hour, minute, second;
    if (!readDigits(p, end, 4, year) || !expect(p, end, '-') || !readDigits(p, end, 2, month) ||
        !expect(p, end, '-') || !readDigits(p, end, 2, day) || !expect(p, end, 'T') ||
        !readDigits(p, end, 2, hour) || !expect(p, end, ':') || !readDigits(p, end, 2, minute) ||
        !expect(p, end, ':') || !readDigits(p, end, 2, second))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || static_cast<unsigned>(day) > daysInMonth(year, month) ||
        hour > 23 || minute > 59 || second > 60)
        return std::nullopt;

    std::int64_t microseconds = 0;
    if (p < end && *p == '.') {
        ++p;
        int digits = 0;
        std::int64_t scale = 100000;
        while (p < end && isDigit(*p)) {
            if (digits < 6) {
                microseconds += (*p - '0') * scale;
                scale /= 10;
            }
            ++digits;
            ++p;
        }
        if (digits < 1 || digits > 9)
            return std::nullopt;
    }

    int offsetSeconds = 0;
    if (p < end) {
        if (*p == 'Z') {
            ++p;
        } else if (*p == '+' || *p == '-') {
            const int sign = *p == '-' ? -1 : 1;
            ++p;
            int oh = 0, om = 0, os = 0;
            if (!readDigits(p, end, 2, oh))
                return std::nullopt;
            if (p < end) {
                bool colon = *p == ':';
                if (colon)
                    ++p;
                if (!readDigits(p, end, 2, om))
                    return std::nullopt;
                if (colon && p < end && (!expect(p, end, ':') || !readDigits(p, end, 2, os)))
                    return std::nullopt;
            }
            if (oh > 23 || om > 59 || os > 59)
                return std::nullopt;
            offsetSeconds = sign * (oh * 3600 + om * 60 + os);
        } else {
            return std::nullopt;
        }
    }
    if (p != end)
        return std::nullopt;

    const std::int64_t seconds = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
                                 hour * 3600 + minute * 60 + second - offsetSeconds;
    return Instant::fromMicroseconds(seconds * 1000000 + microseconds);
}

std::size_t GPXTime::format(Instant time, char* out) {
    const std::int64_t us = time.microsecondsSince1970();
    std::int64_t seconds = us / 1000000;
    std::int64_t fraction = us % 1000000;
    if (fraction < 0) {
        fraction += 1000000;
        seconds -= 1;
    }
    std::int64_t days = seconds / 86400;
    std::int64_t secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        days -= 1;
    }
    std::int64_t year;
    unsigned month, day;
    civilFromDays(days, year, month, day);

    char* p = out;
    if (year < 0) {
        *p++ = '-';
        year = -year;
    }
    int yearDigits = 4;
    for (std::int64_t y = year; y >= 10000; y /= 10)
        ++yearDigits;
    p = putDigits(p, year, yearDigits);
    *p++ = '-';
    p = putDigits(p, month, 2);
    *p++ = '-';
    p = putDigits(p, day, 2);
    *p++ = 'T';
    p = putDigits(p, secondOfDay / 3600, 2);
    *p++ = ':';
    p = putDigits(p, secondOfDay / 60 % 60, 2);
    *p++ = ':';
    p = putDigits(p, secondOfDay % 60, 2);
    // A fraction shows when it is at least a millisecond away from the whole second (either
    // way, as the absolute fraction of the signed seconds since 1970 decides).
    const std::int64_t signedFraction = us % 1000000;
    const std::int64_t absFraction = signedFraction < 0 ? -signedFraction : signedFraction;
    if (absFraction >= 1000) {
        *p++ = '.';
        p = putDigits(p, fraction / 1000, 3);
    }
    *p++ = 'Z';
    return static_cast<std::size_t>(p - out);
}

std::string GPXTime::format(Instant time) {
    char buffer[kMaxLength];
    return std::string(buffer, format(time, buffer));
}

} // namespace wend
