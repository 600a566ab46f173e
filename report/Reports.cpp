#include "Reports.h"

namespace kw {

namespace {

constexpr auto NZ = Separator::NextZone;
constexpr auto EOL = Separator::EndOfLine;
constexpr auto JN = Separator::Join;

// The speed report's captions, which the copied calculation shares.
const QString DepartureCaption = QStringLiteral("Vertrek datum en tijd ");
const QString ArrivalCaption = QStringLiteral("Aankomst datum en tijd ");
const QString DateLineCaption = QStringLiteral("Datumgrens Correctie ");
const QString TimeDifferenceCaption = QStringLiteral("Tijdsverschil ");
const QString SteamingCaption = QStringLiteral("Stoom tijd");

void emptyLine(ReportPrinter& printer) {
    printer.print({PrintItem::empty(EOL)});
}

void title(ReportPrinter& printer, const PrintList& list) {
    printer.SetFontSize(16);
    printer.SetFontBold(true);
    printer.print(list);
}

} // namespace

void PrintEtaReport(ReportPrinter& printer, const EtaTable& table) {
    emptyLine(printer);
    title(printer, {PrintItem::empty(NZ), PrintItem::text(QStringLiteral("ETA Calculator Resultaten"), EOL)});
    printer.SetFontSize(14);
    printer.SetFontBold(false);

    const auto summary = [&](const QString& label, const QString& value) {
        emptyLine(printer);
        printer.print({PrintItem::empty(NZ), PrintItem::text(label, NZ), PrintItem::text(value, EOL)});
    };
    summary(QStringLiteral("Vertek datum en tijd"), table.departure);
    emptyLine(printer);
    // "Afstand " is short: one more zone puts its value under the other values.
    printer.print({PrintItem::empty(NZ), PrintItem::text(QStringLiteral("Afstand "), NZ),
                   PrintItem::empty(NZ), PrintItem::text(table.distance, EOL)});
    summary(QStringLiteral("Datumgrens Correctie "), table.dateLine);
    summary(QStringLiteral("Tijdsverschil "), table.timeDiff);

    const auto row = [&](const QString& speed, const QString& day, const QString& date) {
        printer.print({PrintItem::empty(NZ), PrintItem::text(speed, NZ), PrintItem::text(day, NZ),
                       PrintItem::text(date, EOL)});
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
    title(printer, {PrintItem::empty(NZ), PrintItem::empty(NZ),
                    PrintItem::text(QStringLiteral("SpeedCalculator Resultaten"), EOL)});
    printer.SetFontSize(12);
    printer.SetFontBold(false);
    emptyLine(printer);

    printer.print({PrintItem::text(DepartureCaption, NZ),
                   PrintItem::general(FormatDateTime(result.departure, u"dd-MM-yyyy h:mm", locale), EOL)});
    printer.print({PrintItem::text(ArrivalCaption, NZ),
                   PrintItem::general(FormatDateTime(result.arrival, u"dd-MM-yyyy h:mm", locale), EOL)});
    printer.print({PrintItem::text(DateLineCaption, NZ),
                   PrintItem::real(DateLineCorrection(result.dateLine), EOL, locale)});
    printer.print({PrintItem::text(TimeDifferenceCaption, NZ), PrintItem::object(result.timeDiffText, EOL)});
    printer.print({PrintItem::text(SteamingCaption, NZ), PrintItem::empty(NZ),
                   PrintItem::integer(steam.hours, JN, locale), PrintItem::text(QStringLiteral(":"), JN),
                   PrintItem::general(FormatNumber(steam.minutes, u"00", locale), EOL)});
    emptyLine(printer);
    printer.print({PrintItem::text(QStringLiteral("Gemiddelde snelheid = "), JN),
                   PrintItem::general(FormatNumber(result.averageSpeed, u"##.00", locale), EOL)});
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
