#include "ClockTime.h"

#include "Numbers.h"

#include <cmath>

namespace kw {

ClockMinutes ClockTextToMinutes(const QString& text, const QLocale& locale, const QString& field) {
    const double number = TextToNumber(text, locale, field, Expected::ClockTime);
    ClockMinutes result;
    result.hours = ToInt16(std::floor(number), field, Expected::ClockTime);
    // The minute part is taken from number * 100 in one step (with FloorScaled's tolerance) rather
    // than from (number - hours) * 100, which drops a minute for 14.29, 2.30, 23.59 and many more.
    const double hundredths = CheckFloat(FloorScaled(number, 100.0), field);
    result.minutePart = ToInt16(hundredths - 100.0 * result.hours, field, Expected::ClockTime);
    const qint16 hourMinutes = ToInt16(60.0 * result.hours, field, Expected::ClockTime);
    result.total = ToInt16(double(hourMinutes) + result.minutePart, field, Expected::ClockTime);
    return result;
}

} // namespace kw
