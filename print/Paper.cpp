#include "Paper.h"

namespace kw {

namespace {

constexpr double MillimetresPerInch = 25.4;

bool named(const QString& name) {
    return !name.trimmed().isEmpty() && name != u"none";
}

} // namespace

std::optional<QSizeF> MediaSize(const QString& name) {
    if (name.startsWith(u"custom_min_") || name.startsWith(u"custom_max_"))
        return std::nullopt;
    const qsizetype underscore = name.lastIndexOf(u'_');
    QString size = name.mid(underscore + 1);
    double unit = 0.0;
    if (size.endsWith(u"mm"))
        unit = 1.0;
    else if (size.endsWith(u"in"))
        unit = MillimetresPerInch;
    if (underscore < 0 || unit == 0.0)
        return std::nullopt;
    size.chop(2);
    const QStringList sides = size.split(u'x');
    if (sides.size() != 2)
        return std::nullopt;
    bool wide = false;
    bool high = false;
    const double width = sides[0].toDouble(&wide);
    const double height = sides[1].toDouble(&high);
    // A sheet between a postage stamp and a plan chest.
    if (!wide || !high || width < 10.0 / unit || height < 10.0 / unit || width > 5000.0 / unit ||
        height > 5000.0 / unit)
        return std::nullopt;
    return QSizeF(width * unit, height * unit);
}

QString ChoosePaper(const QString& printerDefault, const QString& queueDefault, const QStringList& supported,
                    QLocale::MeasurementSystem measurement) {
    if (named(printerDefault))
        return printerDefault;
    if (named(queueDefault))
        return queueDefault;
    QString local = measurement == QLocale::ImperialUSSystem ? QStringLiteral("na_letter_8.5x11in")
                                                             : QStringLiteral("iso_a4_210x297mm");
    if (supported.isEmpty() || supported.contains(local))
        return local;
    for (const QString& paper : supported) {
        if (MediaSize(paper))
            return paper;
    }
    return local;
}

} // namespace kw
