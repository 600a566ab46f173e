#pragma once

#include "RunTimeError.h"

#include <QLocale>
#include <QString>

namespace kw {

// A clock time typed as hh.mm: the whole part is the hours, the first two decimals the minutes.
struct ClockMinutes {
    qint16 hours = 0;
    qint16 minutePart = 0;
    qint16 total = 0; // hours * 60 + minutePart
};

// Floors, so -0.30 is hours -1 and minute part 70; one decimal is tens of minutes; the minute part
// has no range test. The total is 16-bit: 546.07 is the largest that fits.
ClockMinutes ClockTextToMinutes(const QString& text, const QLocale& locale, Input input = Input::None);

} // namespace kw
