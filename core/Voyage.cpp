#include "Voyage.h"

#include <cmath>

namespace kw {

namespace {

// distance / speed, with the faults a zero or enormous speed brings laid on `input`.
double checkedQuotient(double numerator, double denominator, Input input, const QString& zeroDetail) {
    if (denominator == 0.0) {
        if (numerator == 0.0)
            throw RunTimeError(ErrorKind::InvalidOperation, input, Expected::Nothing, zeroDetail);
        throw RunTimeError(ErrorKind::DivisionByZero, input, Expected::Nothing, zeroDetail);
    }
    return CheckFloat(numerator / denominator, input);
}

} // namespace

EtaTable CalculateEta(const EtaInput& input, const QLocale& locale) {
    const qint16 dateLineCorrection = DateLineCorrection(input.dateLine);
    const ClockMinutes clock = ClockTextToMinutes(input.departureTime, locale, Input::DepartureTime);
    const DateTime departure = AddMinutes(input.sailDate, clock.total);

    const double timeDiff = TextToNumber(input.timeDifference, locale, Input::TimeDifference);
    const double shiftMinutes = CheckFloat((timeDiff + dateLineCorrection) * 60.0, Input::TimeDifference);
    const DateTime shiftedDeparture = AddMinutes(departure, shiftMinutes);

    const double distance = TextToNumber(input.distance, locale, Input::Distance);
    double currentSpeed = TextToNumber(input.startSpeed, locale, Input::StartSpeed);
    const double speedStep = TextToNumber(input.speedStep, locale, Input::SpeedStep);

    EtaTable table;
    for (int i = 0; i < EtaRowCount; ++i) {
        // Row 0 can only fail on the starting speed; later rows on the step that brought it to 0.
        const Input speedInput = i == 0 ? Input::StartSpeed : Input::SpeedStep;
        const QString zeroDetail =
            QStringLiteral("De vaart in rij %1 is 0 knopen: de vaartijd kan niet worden berekend.")
                .arg(i + 1);
        const double minutesUnderway =
            CheckFloat(checkedQuotient(distance, currentSpeed, speedInput, zeroDetail) * 60.0, speedInput);
        const DateTime currentEta = AddMinutes(shiftedDeparture, minutesUnderway);
        table.rows[i] = {FormatNumber(currentSpeed, u" ###00.00", locale),
                         FormatDateTime(currentEta, u" dddd ", locale),
                         FormatDateTime(currentEta, u" dd-MM-yyyy hh:mm", locale)};
        // Repeated addition, not start + i * step: the rows show what the officer would add up.
        currentSpeed = CheckFloat(currentSpeed + speedStep, Input::SpeedStep);
    }
    table.departure = FormatDateTime(departure, u"dd-MM-yyyy hh:mm", locale);
    table.distance = FormatNumber(distance, u"###.00", locale);
    table.dateLine = QString::number(dateLineCorrection);
    table.timeDiff = input.timeDifference;
    return table;
}

SpeedResult CalculateSpeed(const SpeedInput& input, const QLocale& locale) {
    const ClockMinutes departureClock = ClockTextToMinutes(input.departureTime, locale, Input::DepartureTime);
    const ClockMinutes arrivalClock = ClockTextToMinutes(input.arrivalTime, locale, Input::ArrivalTime);

    SpeedResult result;
    result.departure = AddMinutes(input.departureDate, departureClock.total);
    result.arrival = AddMinutes(input.arrivalDate, arrivalClock.total);
    const qint32 elapsed = MinutesBetween(result.departure, result.arrival);

    const double timeDiff = TextToNumber(input.timeDifference, locale, Input::TimeDifference);
    // The speed calculator works the correction as a double, as it always has; the hours are whole.
    const double dateLineCorrection = DateLineCorrection(input.dateLine);
    result.steamingHours =
        CheckFloat(((elapsed / 60.0) - dateLineCorrection) - timeDiff, Input::TimeDifference);
    const double distance = TextToNumber(input.distance, locale, Input::Distance);

    const double speed = checkedQuotient(
        distance, result.steamingHours, Input::ArrivalTime,
        QStringLiteral("De stoomtijd is 0 uur: de gemiddelde snelheid kan niet worden berekend."));
    result.averageSpeed = CheckFloat(FloorScaled(speed, 100.0), Input::Distance) / 100.0;
    result.dateLine = input.dateLine;
    result.timeDiffText = input.timeDifference;
    result.distanceText = input.distance;
    return result;
}

namespace {

// Hours and minutes both come from the whole minutes, so 2.3 hours gives 2 and 18, not 2 and
// 17.999999999999993 floored.
std::pair<double, double> hoursAndMinutes(double steamingHours) {
    const double totalMinutes = CheckFloat(FloorScaled(CheckFloat(steamingHours), 60.0));
    const double hours = std::floor(totalMinutes / 60.0);
    return {hours, totalMinutes - 60.0 * hours};
}

} // namespace

QString SteamingClock(double steamingHours, const QLocale& locale) {
    const auto [hours, minutes] = hoursAndMinutes(steamingHours);
    return FormatNumber(hours, u"0", locale) + u':' + FormatNumber(minutes, u"00", locale);
}

SteamingTime SplitSteamingHours(double steamingHours) {
    const auto [hours, minutes] = hoursAndMinutes(steamingHours);
    return {ToInt16(hours), static_cast<qint16>(minutes)};
}

} // namespace kw
