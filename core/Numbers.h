#pragma once

#include "RunTimeError.h"

#include <QLocale>
#include <QString>

namespace kw {

// Reads a typed number: optional blanks around, an optional sign, digits with at most one decimal
// separator (the locale's or the point). No grouping, no exponent: a Dutch "14.30" must stay 14.3,
// never 1430. Anything else is a type mismatch on `input`.
double TextToNumber(const QString& text, const QLocale& locale, Input input = Input::None,
                    Expected expected = Expected::Number);

// A typed number as the screens show numbers: with the locale's decimal separator where it was typed
// with a point. Any other text stays as it stands.
QString WithLocaleSeparator(const QString& text, const QLocale& locale);

// floor(x * scale), except that a product lying within binary rounding of a whole number counts as
// that whole number: 14.29 * 100 is 1429, not 1428.9999999999998.
double FloorScaled(double x, double scale);

// Rounds to `decimals` places, halves away from zero, with the same tolerance as FloorScaled.
double RoundHalfAway(double x, int decimals);

// Raises the floating-point error for a NaN (invalid operation) or an infinity (overflow).
double CheckFloat(double value, Input input = Input::None);

// A whole number that must fit in 16 bits signed, else Overflow on `input`.
qint16 ToInt16(double whole, Input input = Input::None, Expected expected = Expected::Nothing);

// A number as the printed page shows it: shortest round-trip text, the locale's decimal separator,
// a minus sign when negative, no blanks and no grouping.
QString NumberText(double value, const QLocale& locale);

} // namespace kw
