#pragma once

#include "core/model/Instant.h"

#include <QDateTime>
#include <cstdint>

namespace wend {

// Date editors work in local time to the millisecond; instants hold microseconds. Converting
// cuts toward the past, so a time shown is never later than the one stored.
inline QDateTime dateTimeFromInstant(Instant instant) {
    const std::int64_t micro = instant.microsecondsSince1970();
    std::int64_t milli = micro / 1000;
    if (micro % 1000 < 0)
        --milli;
    return QDateTime::fromMSecsSinceEpoch(milli, Qt::LocalTime);
}

inline Instant instantFromDateTime(const QDateTime& dateTime) {
    return Instant::fromMicroseconds(dateTime.toMSecsSinceEpoch() * 1000);
}

} // namespace wend
