#include "Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kw {

double TextToNumber(const QString& text, const QLocale& locale, Input input, Expected expected) {
    const auto mismatch = [&] { return RunTimeError(ErrorKind::TypeMismatch, input, expected); };
    const QString trimmed = text.trimmed();
    const QString localePoint = locale.decimalPoint();
    const QString localeMinus = locale.negativeSign();

    QString normal;
    qsizetype pos = 0;
    if (trimmed.startsWith(u'-') || trimmed.startsWith(u'+')) {
        if (trimmed.front() == u'-')
            normal += u'-';
        pos = 1;
    } else if (!localeMinus.isEmpty() && localeMinus != QStringLiteral("-") &&
               trimmed.startsWith(localeMinus)) {
        normal += u'-';
        pos = localeMinus.size();
    }

    bool seenPoint = false;
    int digits = 0;
    while (pos < trimmed.size()) {
        const QChar c = trimmed.at(pos);
        if (c >= u'0' && c <= u'9') {
            normal += c;
            ++digits;
            ++pos;
        } else if (!seenPoint && c == u'.') {
            normal += u'.';
            seenPoint = true;
            ++pos;
        } else if (!seenPoint && trimmed.mid(pos).startsWith(localePoint)) {
            normal += u'.';
            seenPoint = true;
            pos += localePoint.size();
        } else {
            throw mismatch();
        }
    }
    if (digits == 0)
        throw mismatch();

    // The normalised text is plain [-]digits[.digits]; from_chars reads it exactly and knows no
    // locale, unlike strtod under the process locale Qt installs.
    const QByteArray ascii = normal.toLatin1();
    double value = 0.0;
    const auto [end, ec] = std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), value);
    if (ec == std::errc::result_out_of_range) {
        const QByteArray whole = ascii.left(seenPoint ? ascii.indexOf('.') : ascii.size());
        const bool large = whole.count('0') != whole.size() - (whole.startsWith('-') ? 1 : 0);
        if (large)
            throw RunTimeError(ErrorKind::FloatOverflow, input, expected);
        value = 0.0; // too small to hold: it is zero for every purpose here
    } else if (ec != std::errc() || end != ascii.constData() + ascii.size()) {
        throw mismatch();
    }
    return value;
}

QString WithLocaleSeparator(const QString& text, const QLocale& locale) {
    try {
        TextToNumber(text, locale);
    } catch (const RunTimeError&) {
        return text;
    }
    return QString(text).replace(u'.', locale.decimalPoint());
}

double FloorScaled(double x, double scale) {
    const double product = x * scale;
    if (!std::isfinite(product))
        return product;
    const double nearest = std::nearbyint(product);
    // Decimal inputs reach us through binary doubles, so an intended whole product arrives a few
    // units in the last place off; 1e-13 relative is far above that noise, and only a value typed
    // with 13 or more significant digits lies that close to a whole product without being one.
    if (std::fabs(product - nearest) <= std::fabs(product) * 1e-13)
        return nearest;
    return std::floor(product);
}

double RoundHalfAway(double x, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double magnitude = std::fabs(x) * scale;
    if (!std::isfinite(magnitude))
        return x;
    // floor(2m) snapped, then halves up: floor((floor(2m) + 1) / 2) is m rounded half up.
    const double twice = FloorScaled(std::fabs(x), scale * 2.0);
    const double whole = std::floor((twice + 1.0) / 2.0);
    return std::copysign(whole / scale, x);
}

double CheckFloat(double value, Input input) {
    if (std::isnan(value))
        throw RunTimeError(ErrorKind::InvalidOperation, input);
    if (std::isinf(value))
        throw RunTimeError(ErrorKind::FloatOverflow, input);
    return value;
}

qint16 ToInt16(double whole, Input input, Expected expected) {
    if (!(whole >= std::numeric_limits<qint16>::min() && whole <= std::numeric_limits<qint16>::max()))
        throw RunTimeError(ErrorKind::Overflow, input, expected);
    return static_cast<qint16>(whole);
}

QString NumberText(double value, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    if (value == 0.0)
        value = 0.0; // no "-0" on paper
    return plain.toString(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace kw
