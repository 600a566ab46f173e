#pragma once

// The calculation core: clock times, date-times, typed numbers, display patterns and the two
// voyage calculations. A screen reads its controls into an input struct, calls one pure function
// here and writes the result back; nothing here knows a widget, and every failure is a
// RunTimeError thrown before anything is committed.

#include "ClockTime.h"
#include "DateTime.h"
#include "Numbers.h"
#include "Patterns.h"
#include "RunTimeError.h"

#include <array>

namespace kw {

inline constexpr int EtaRowCount = 11;

// The date-line choice of both calculators. Its value is `DateLineCorrection`, in hours.
enum class DateLine : qint16 {
    NotCrossed = 0,
    DayForward = 24, // from the western to the eastern hemisphere
    DayBack = -24,   // from the eastern to the western hemisphere
};

constexpr qint16 DateLineCorrection(DateLine dateLine) noexcept {
    return static_cast<qint16>(dateLine);
}

// What the user typed, as typed: the texts are read only by the calculation.
struct EtaInput {
    DateTime sailDate; // the picked date, at 00:00
    QString departureTime;
    QString timeDifference;
    QString distance;
    QString startSpeed;
    QString speedStep;
    DateLine dateLine = DateLine::NotCrossed;
};

struct EtaRow {
    QString speed;
    QString day;
    QString date;
};

// The eleven rows and the four summary texts exactly as the results screen shows them.
struct EtaTable {
    std::array<EtaRow, EtaRowCount> rows;
    QString departure; // Text1
    QString distance;  // Text2
    QString dateLine;  // Text3
    QString timeDiff;  // Text4
};

EtaTable CalculateEta(const EtaInput& input, const QLocale& locale);

struct SpeedInput {
    DateTime departureDate;
    DateTime arrivalDate;
    QString departureTime;
    QString arrivalTime;
    QString timeDifference;
    QString distance;
    DateLine dateLine = DateLine::NotCrossed;
};

// One completed speed calculation, kept whole so that a printout never mixes two of them.
struct SpeedResult {
    DateTime departure;
    DateTime arrival;
    double steamingHours = 0.0;
    double averageSpeed = 0.0;                  // truncated to hundredths
    DateLine dateLine = DateLine::NotCrossed;   // as used by this calculation
    QString timeDiffText = QStringLiteral("0"); // the time difference as typed for this calculation
    QString distanceText = QStringLiteral("0"); // and the distance
};

SpeedResult CalculateSpeed(const SpeedInput& input, const QLocale& locale);

struct SteamingTime {
    qint16 hours = 0;   // floor of the steaming hours
    qint16 minutes = 0; // 0..59 beyond them
};

// The steaming time on a clock, "2:18" for 2.3 hours ("-2:30" for -1.5), with no limit on the hours.
QString SteamingClock(double steamingHours, const QLocale& locale);

// -1.5 hours is -2 hours and 30 minutes; 2.3 hours is 2 and 18. Overflow beyond 16 bits.
SteamingTime SplitSteamingHours(double steamingHours);

} // namespace kw
