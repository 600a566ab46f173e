#pragma once

#include "DateTime.h"

#include <QLocale>
#include <QString>
#include <QStringView>

namespace kw {

// Number patterns such as " ###00.00", "###.00", "##.00", "00": literal text before the first
// placeholder is copied; '0' is a digit or zero, '#' a digit or nothing, integer digits beyond the
// placeholders are always shown, the point becomes the locale's decimal separator. Halves round
// away from zero; a negative value gets a minus sign before its digits.
QString FormatNumber(double value, QStringView pattern, const QLocale& locale);

// Date patterns such as "dd-MM-yyyy hh:mm", " dddd ", "dd-MM-yy": dd d MM M yyyy yy hh h mm dddd;
// the colon becomes the locale's time separator; every other character is copied.
QString FormatDateTime(DateTime value, QStringView pattern, const QLocale& locale);

QString TimeSeparator(const QLocale& locale);

} // namespace kw
