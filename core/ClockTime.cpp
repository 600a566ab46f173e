#include "ClockTime.h"

#include "Numbers.h"

#include <cmath>

namespace kw {

ClockMinutes ClockTextToMinutes(const QString& text, const QLocale& locale, Input input) {
    const double number = TextToNumber(text, locale, input, Expected::ClockTime);
    ClockMinutes result;
    result.hours = ToInt16(std::floor(number), input, Expected::ClockTime);
    // The minute part is taken from number * 100 in one step (with FloorScaled's tolerance) rather
    // than from (number - hours) * 100, which drops a minute for 14.29, 2.30, 23.59 and many more.
    const double hundredths = CheckFloat(FloorScaled(number, 100.0), input);
    result.minutePart = ToInt16(hundredths - 100.0 * result.hours, input, Expected::ClockTime);
    const qint16 hourMinutes = ToInt16(60.0 * result.hours, input, Expected::ClockTime);
    result.total = ToInt16(double(hourMinutes) + result.minutePart, input, Expected::ClockTime);
    return result;
}

} // namespace kw
