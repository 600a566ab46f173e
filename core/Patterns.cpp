#include "Patterns.h"

#include "Numbers.h"

#include <cmath>

namespace kw {

QString FormatNumber(double value, QStringView pattern, const QLocale& locale) {
    qsizetype pos = 0;
    while (pos < pattern.size() && pattern[pos] != u'#' && pattern[pos] != u'0' && pattern[pos] != u'.')
        ++pos;
    const QStringView prefix = pattern.left(pos);
    int minimumDigits = 0;
    for (; pos < pattern.size() && (pattern[pos] == u'#' || pattern[pos] == u'0'); ++pos) {
        if (pattern[pos] == u'0')
            ++minimumDigits;
    }
    int decimals = 0;
    if (pos < pattern.size() && pattern[pos] == u'.') {
        for (++pos; pos < pattern.size() && (pattern[pos] == u'#' || pattern[pos] == u'0'); ++pos)
            ++decimals;
    }
    const QStringView suffix = pattern.mid(pos);

    const double rounded = RoundHalfAway(std::fabs(value), decimals);
    const QString plain = QString::number(rounded, 'f', decimals);
    QString integerDigits = plain.left(decimals > 0 ? plain.indexOf(u'.') : plain.size());
    while (integerDigits.startsWith(u'0'))
        integerDigits.remove(0, 1);
    if (integerDigits.size() < minimumDigits)
        integerDigits.prepend(QString(minimumDigits - integerDigits.size(), u'0'));

    QString text = prefix.toString();
    if (value < 0 && rounded != 0.0)
        text += u'-';
    text += integerDigits;
    if (decimals > 0)
        text += locale.decimalPoint() + plain.right(decimals);
    text += suffix;
    return text;
}

QString TimeSeparator(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    qsizetype pos = 0;
    while (pos < format.size() && format[pos] != u'h' && format[pos] != u'H')
        ++pos;
    while (pos < format.size() && (format[pos] == u'h' || format[pos] == u'H'))
        ++pos;
    qsizetype end = pos;
    while (end < format.size() && format[end] != u'm')
        ++end;
    const QString separator = format.mid(pos, end - pos);
    return separator.isEmpty() ? QStringLiteral(":") : separator;
}

QString FormatDateTime(DateTime value, QStringView pattern, const QLocale& locale) {
    const QDate date = value.date();
    const auto padded = [](int number, int width) {
        return QStringLiteral("%1").arg(number, width, 10, QChar(u'0'));
    };
    QString text;
    qsizetype pos = 0;
    while (pos < pattern.size()) {
        const QChar c = pattern[pos];
        qsizetype run = 1;
        while (pos + run < pattern.size() && pattern[pos + run] == c)
            ++run;
        if (c == u'd' && run >= 4)
            text += locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
        else if (c == u'd')
            text += padded(date.day(), int(run));
        else if (c == u'M')
            text += padded(date.month(), int(run));
        else if (c == u'y' && run >= 4)
            text += padded(date.year(), 4);
        else if (c == u'y')
            text += padded(date.year() % 100, 2);
        else if (c == u'h')
            text += padded(value.hour(), int(run));
        else if (c == u'm')
            text += padded(value.minute(), int(run));
        else if (c == u':')
            text += TimeSeparator(locale).repeated(run);
        else
            text += pattern.mid(pos, run);
        pos += run;
    }
    return text;
}

} // namespace kw
