#pragma once

#include <QDate>
#include <QtGlobal>

namespace kw {

// A date and time of day to the minute, counted in whole minutes from the zero date-time,
// 30 December 1899 00:00. Both calculators and the speed report share it. Valid from
// 1 January 100 00:00 to 31 December 9999 23:59; arithmetic that leaves that range fails with
// the date-out-of-range error.
class DateTime final {
public:
    constexpr DateTime() = default;

    static DateTime fromMinutes(qint64 minutes); // throws DateOutOfRange
    static DateTime fromDate(QDate date, int hour = 0, int minute = 0);

    qint64 minutes() const noexcept { return m_minutes; }
    QDate date() const;
    int hour() const noexcept;
    int minute() const noexcept;

    friend constexpr bool operator==(DateTime, DateTime) = default;

private:
    explicit constexpr DateTime(qint64 minutes)
        : m_minutes(minutes) {}
    qint64 m_minutes = 0;
};

// d plus n minutes; a fractional n is rounded to the nearest whole minute, halves away from zero.
DateTime AddMinutes(DateTime d, double n);

// Whole minutes from a to b, negative when b lies before a; Overflow beyond 32 bits.
qint32 MinutesBetween(DateTime a, DateTime b);

} // namespace kw
