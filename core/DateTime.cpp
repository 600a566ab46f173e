#include "DateTime.h"

#include "Numbers.h"
#include "RunTimeError.h"

#include <cmath>
#include <limits>

namespace kw {

namespace {

constexpr qint64 minutesPerDay = qint64{24} * 60;

qint64 zeroJulianDay() {
    return QDate(1899, 12, 30).toJulianDay();
}

qint64 firstMinute() {
    return (QDate(100, 1, 1).toJulianDay() - zeroJulianDay()) * minutesPerDay;
}

qint64 lastMinute() {
    return (QDate(9999, 12, 31).toJulianDay() - zeroJulianDay()) * minutesPerDay + minutesPerDay - 1;
}

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

} // namespace

DateTime DateTime::fromMinutes(qint64 minutes) {
    if (minutes < firstMinute() || minutes > lastMinute())
        throw RunTimeError(ErrorKind::DateOutOfRange);
    return DateTime(minutes);
}

DateTime DateTime::fromDate(QDate date, int hour, int minute) {
    return fromMinutes((date.toJulianDay() - zeroJulianDay()) * minutesPerDay + qint64{hour} * 60 + minute);
}

QDate DateTime::date() const {
    return QDate::fromJulianDay(zeroJulianDay() + floorDiv(m_minutes, minutesPerDay));
}

int DateTime::hour() const noexcept {
    return int((m_minutes - floorDiv(m_minutes, minutesPerDay) * minutesPerDay) / 60);
}

int DateTime::minute() const noexcept {
    return int((m_minutes - floorDiv(m_minutes, minutesPerDay) * minutesPerDay) % 60);
}

DateTime AddMinutes(DateTime d, double n) {
    CheckFloat(n);
    const double whole = RoundHalfAway(n, 0);
    // Beyond this no sum can land inside the range; it also keeps the cast below defined.
    if (std::fabs(whole) > 1e13)
        throw RunTimeError(ErrorKind::DateOutOfRange);
    return DateTime::fromMinutes(d.minutes() + static_cast<qint64>(whole));
}

qint32 MinutesBetween(DateTime a, DateTime b) {
    const qint64 difference = b.minutes() - a.minutes();
    if (difference < std::numeric_limits<qint32>::min() || difference > std::numeric_limits<qint32>::max())
        throw RunTimeError(ErrorKind::Overflow);
    return static_cast<qint32>(difference);
}

} // namespace kw
