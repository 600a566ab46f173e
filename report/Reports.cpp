#include "Reports.h"

namespace kw {

namespace {

using enum Separator;

// The speed report's captions, which the copied calculation shares.
const QString DepartureCaption = QStringLiteral("Vertrek datum en tijd ");
const QString ArrivalCaption = QStringLiteral("Aankomst datum en tijd ");
const QString DateLineCaption = QStringLiteral("Datumgrens Correctie ");
const QString TimeDifferenceCaption = QStringLiteral("Tijdsverschil ");
const QString SteamingCaption = QStringLiteral("Stoom tijd");

void emptyLine(ReportPrinter& printer) {
    printer.print({PrintItem::empty(EndOfLine)});
}

void title(ReportPrinter& printer, const PrintList& list) {
    printer.SetFontSize(16);
    printer.SetFontBold(true);
    printer.print(list);
}

} // namespace

void PrintEtaReport(ReportPrinter& printer, const EtaTable& table) {
    emptyLine(printer);
    title(printer, {PrintItem::empty(NextZone),
                    PrintItem::text(QStringLiteral("ETA Calculator Resultaten"), EndOfLine)});
    printer.SetFontSize(14);
    printer.SetFontBold(false);

    const auto summary = [&](const QString& label, const QString& value) {
        emptyLine(printer);
        printer.print({PrintItem::empty(NextZone), PrintItem::text(label, NextZone),
                       PrintItem::text(value, EndOfLine)});
    };
    summary(QStringLiteral("Vertek datum en tijd"), table.departure);
    emptyLine(printer);
    // "Afstand " is short: one more zone puts its value under the other values.
    printer.print({PrintItem::empty(NextZone), PrintItem::text(QStringLiteral("Afstand "), NextZone),
                   PrintItem::empty(NextZone), PrintItem::text(table.distance, EndOfLine)});
    summary(QStringLiteral("Datumgrens Correctie "), table.dateLine);
    summary(QStringLiteral("Tijdsverschil "), table.timeDiff);

    const auto row = [&](const QString& speed, const QString& day, const QString& date) {
        printer.print({PrintItem::empty(NextZone), PrintItem::text(speed, NextZone),
                       PrintItem::text(day, NextZone), PrintItem::text(date, EndOfLine)});
    };
    emptyLine(printer);
    row(QStringLiteral(" Vaart"), QStringLiteral("  ETA Dag"), QStringLiteral(" Datum and Tijd."));
    for (const EtaRow& r : table.rows) {
        emptyLine(printer);
        row(r.speed, r.day, r.date);
    }
    printer.EndDocument();
}

void PrintSpeedReport(ReportPrinter& printer, const SpeedResult& result, const SteamingTime& steam,
                      const QLocale& locale) {
    emptyLine(printer);
    title(printer, {PrintItem::empty(NextZone), PrintItem::empty(NextZone),
                    PrintItem::text(QStringLiteral("SpeedCalculator Resultaten"), EndOfLine)});
    printer.SetFontSize(12);
    printer.SetFontBold(false);
    emptyLine(printer);

    // A caption, and its value in the next zone.
    const auto line = [&](const QString& caption, PrintItem value) {
        printer.print({PrintItem::text(caption, NextZone), std::move(value)});
    };
    const auto at = [&](DateTime when) {
        return PrintItem::general(FormatDateTime(when, u"dd-MM-yyyy h:mm", locale), EndOfLine);
    };
    line(DepartureCaption, at(result.departure));
    line(ArrivalCaption, at(result.arrival));
    line(DateLineCaption, PrintItem::real(DateLineCorrection(result.dateLine), EndOfLine, locale));
    line(TimeDifferenceCaption, PrintItem::object(result.timeDiffText, EndOfLine));
    printer.print({PrintItem::text(SteamingCaption, NextZone), PrintItem::empty(NextZone),
                   PrintItem::integer(steam.hours, Join, locale), PrintItem::text(QStringLiteral(":"), Join),
                   PrintItem::general(FormatNumber(steam.minutes, u"00", locale), EndOfLine)});
    emptyLine(printer);
    printer.print({PrintItem::text(QStringLiteral("Gemiddelde snelheid = "), Join),
                   PrintItem::general(FormatNumber(result.averageSpeed, u"##.00", locale), EndOfLine)});
    printer.EndDocument();
}

QString SpeedCopyText(const SpeedResult& r, const QString& speedCaption, const QLocale& locale) {
    return TabSeparated({
        {DepartureCaption, FormatDateTime(r.departure, u"dd-MM-yyyy hh:mm", locale)},
        {ArrivalCaption, FormatDateTime(r.arrival, u"dd-MM-yyyy hh:mm", locale)},
        {TimeDifferenceCaption, WithLocaleSeparator(r.timeDiffText, locale)},
        {DateLineCaption, QString::number(DateLineCorrection(r.dateLine))},
        {QStringLiteral("Afstand"), WithLocaleSeparator(r.distanceText, locale)},
        // No 16-bit limit here: copying never fails on a steaming time the calculation accepted.
        {SteamingCaption, SteamingClock(r.steamingHours, locale)},
        {speedCaption, FormatNumber(r.averageSpeed, u"##.00", locale)},
    });
}

QString TabSeparated(const QList<QStringList>& lines) {
    QString text;
    for (const QStringList& cells : lines) {
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i > 0)
                text += u'\t';
            text += cells[i].trimmed();
        }
        text += u'\n';
    }
    return text;
}

PrintJob EtaReportJob(EtaTable table) {
    return {QStringLiteral("ETA Calculator Resultaten"),
            [table = std::move(table)](ReportPrinter& printer) { PrintEtaReport(printer, table); }};
}

PrintJob SpeedReportJob(SpeedResult result, SteamingTime steam, const QLocale& locale) {
    return {QStringLiteral("SpeedCalculator Resultaten"),
            [result = std::move(result), steam, locale](ReportPrinter& printer) {
                PrintSpeedReport(printer, result, steam, locale);
            }};
}

} // namespace kw
