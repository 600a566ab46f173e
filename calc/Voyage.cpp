#include "Voyage.h"

#include <cmath>

namespace kw {

namespace {

// distance / speed, with the faults a zero or enormous speed brings named after `field`.
double checkedQuotient(double numerator, double denominator, const QString& field,
                       const QString& zeroDetail) {
    if (denominator == 0.0) {
        if (numerator == 0.0)
            throw RunTimeError(ErrorKind::InvalidOperation, field, Expected::Nothing, zeroDetail);
        throw RunTimeError(ErrorKind::DivisionByZero, field, Expected::Nothing, zeroDetail);
    }
    return CheckFloat(numerator / denominator, field);
}

} // namespace

EtaTable CalculateEta(const EtaInput& input, const QLocale& locale) {
    const ClockMinutes clock = ClockTextToMinutes(input.sTime, locale, QStringLiteral("STime"));
    const DateTime departure = AddMinutes(input.sailDate, clock.total);

    const double timeDiff = TextToNumber(input.timeDiff, locale, QStringLiteral("TimeDiff"));
    const double shiftMinutes =
        CheckFloat((timeDiff + input.dateLineCorrection) * 60.0, QStringLiteral("TimeDiff"));
    const DateTime shiftedDeparture = AddMinutes(departure, shiftMinutes);

    const double distance = TextToNumber(input.dist, locale, QStringLiteral("Dist"));
    double currentSpeed = TextToNumber(input.vaart, locale, QStringLiteral("Vaart"));
    const double speedStep = TextToNumber(input.vvers, locale, QStringLiteral("VVers"));

    EtaTable table;
    for (int i = 0; i < EtaRowCount; ++i) {
        // Row 0 can only fail on the starting speed; later rows on the step that brought it to 0.
        const QString field = i == 0 ? QStringLiteral("Vaart") : QStringLiteral("VVers");
        const QString zeroDetail =
            QStringLiteral("De vaart in rij %1 is 0 knopen: de vaartijd kan niet worden berekend.")
                .arg(i + 1);
        const double minutesUnderway =
            CheckFloat(checkedQuotient(distance, currentSpeed, field, zeroDetail) * 60.0, field);
        const DateTime currentEta = AddMinutes(shiftedDeparture, minutesUnderway);
        table.rows[i] = {FormatNumber(currentSpeed, u" ###00.00", locale),
                         FormatDateTime(currentEta, u" dddd ", locale),
                         FormatDateTime(currentEta, u" dd-MM-yyyy hh:mm", locale)};
        // Repeated addition, not start + i * step: the rows show what the officer would add up.
        currentSpeed = CheckFloat(currentSpeed + speedStep, QStringLiteral("VVers"));
    }
    table.departure = FormatDateTime(departure, u"dd-MM-yyyy hh:mm", locale);
    table.distance = FormatNumber(distance, u"###.00", locale);
    table.dateLine = QString::number(input.dateLineCorrection);
    table.timeDiff = input.timeDiff;
    return table;
}

SpeedResult CalculateSpeed(const SpeedInput& input, const QLocale& locale) {
    const ClockMinutes departureClock = ClockTextToMinutes(input.sTime, locale, QStringLiteral("STime"));
    const ClockMinutes arrivalClock = ClockTextToMinutes(input.aTime, locale, QStringLiteral("ATime"));

    SpeedResult result;
    result.departure = AddMinutes(input.sDate, departureClock.total);
    result.arrival = AddMinutes(input.aDate, arrivalClock.total);
    const qint32 elapsed = MinutesBetween(result.departure, result.arrival);

    const double timeDiff = TextToNumber(input.timeDiff, locale, QStringLiteral("TimeDiff"));
    result.steamingHours =
        CheckFloat(((elapsed / 60.0) - input.dateLineCorrection) - timeDiff, QStringLiteral("TimeDiff"));
    const double distance = TextToNumber(input.dist, locale, QStringLiteral("Dist"));

    const double speed = checkedQuotient(
        distance, result.steamingHours, QStringLiteral("ATime"),
        QStringLiteral("De stoomtijd is 0 uur: de gemiddelde snelheid kan niet worden berekend."));
    result.averageSpeed = CheckFloat(FloorScaled(speed, 100.0), QStringLiteral("Dist")) / 100.0;
    result.dateLineCorrection = input.dateLineCorrection;
    result.timeDiffText = input.timeDiff;
    return result;
}

SteamingTime SplitSteamingHours(double steamingHours) {
    CheckFloat(steamingHours);
    // Hours and minutes both come from the whole minutes, so 2.3 hours gives 2 and 18, not 2 and
    // 17.999999999999993 floored.
    const double totalMinutes = CheckFloat(FloorScaled(steamingHours, 60.0));
    SteamingTime time;
    time.hours = ToInt16(std::floor(totalMinutes / 60.0));
    time.minutes = static_cast<qint16>(totalMinutes - 60.0 * time.hours);
    return time;
}

} // namespace kw
