#include "RecordingDevice.h"

#include "WorkedExamples.h"
#include "report/Reports.h"

#include <QTest>

using namespace kw;

namespace {

constexpr auto NZ = Separator::NextZone;
constexpr auto JN = Separator::Join;
constexpr auto EOL = Separator::EndOfLine;

const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);

EtaTable workedTable(const QLocale& locale) {
    return CalculateEta(workedPassage(), locale);
}

} // namespace

Q_DECLARE_METATYPE(kw::PrintList)

class TestReports final : public QObject {
    Q_OBJECT

private slots:
    void zones_data();
    void zones();
    void emptyLineHasTheFontsHeight();
    void etaReport();
    void etaReportPrintsBoxesAsTheyStand();
    void speedReport_data();
    void speedReport();
    void speedReportZeroState();
};

void TestReports::zones_data() {
    QTest::addColumn<PrintList>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("column");
    QTest::newRow("NextZone at column 0 goes to 14")
        << PrintList{PrintItem::empty(NZ), PrintItem::text(QStringLiteral("x"), EOL)} << "x" << 14.0;
    QTest::newRow("two NextZones go to 28")
        << PrintList{PrintItem::empty(NZ), PrintItem::empty(NZ), PrintItem::text(QStringLiteral("x"), EOL)}
        << "x" << 28.0;
    QTest::newRow("label ending on a zone start: the following zone")
        << PrintList{PrintItem::text(QStringLiteral("Tijdsverschil "), NZ),
                     PrintItem::text(QStringLiteral("x"), EOL)}
        << "x" << 28.0;
    QTest::newRow("20 columns from 14 end at 34: value at 42")
        << PrintList{PrintItem::empty(NZ), PrintItem::text(QString(20, u'a'), NZ),
                     PrintItem::text(QStringLiteral("x"), EOL)}
        << "x" << 42.0;
    QTest::newRow("joined items touch")
        << PrintList{PrintItem::text(QStringLiteral("12"), JN), PrintItem::text(QStringLiteral(":"), JN),
                     PrintItem::text(QStringLiteral("05"), EOL)}
        << "05" << 2.5;
    QTest::newRow("wide ink pushes the zone")
        << PrintList{PrintItem::text(QString(8, u'W'), NZ), PrintItem::text(QStringLiteral("x"), EOL)} << "x"
        << 28.0;
    QTest::newRow("an empty text keeps its separators")
        << PrintList{PrintItem::empty(NZ), PrintItem::text(QString(), NZ),
                     PrintItem::text(QStringLiteral("x"), EOL)}
        << "x" << 28.0;
    QTest::newRow("a text wider than its zone pushes the rest along")
        << PrintList{PrintItem::text(QString(30, u'w'), NZ), PrintItem::text(QStringLiteral("x"), EOL)} << "x"
        << 42.0;
    QTest::newRow("spaces inside a text count")
        << PrintList{PrintItem::text(QStringLiteral("a "), JN), PrintItem::text(QStringLiteral("x"), EOL)}
        << "x" << 2.0;
}

void TestReports::zones() {
    QFETCH(PrintList, list);
    QFETCH(QString, text);
    QFETCH(double, column);
    RecordingDevice device;
    ReportPrinter printer(device);
    printer.print(list);
    const RecordingDevice::Text* found = device.find(text);
    QVERIFY(found);
    QCOMPARE(found->column, column);
    QCOMPARE(printer.column(), 0.0); // every list ends its line
}

void TestReports::emptyLineHasTheFontsHeight() {
    RecordingDevice device;
    ReportPrinter printer(device);
    printer.SetFontSize(16);
    printer.print({PrintItem::empty(EOL)});
    QCOMPARE(printer.top(), 32.0);
    printer.SetFontSize(12);
    printer.print({PrintItem::empty(EOL)});
    QCOMPARE(printer.top(), 56.0);
    QVERIFY(device.opened);
    QVERIFY(device.texts.empty());
}

void TestReports::etaReport() {
    RecordingDevice device;
    ReportPrinter printer(device);
    PrintEtaReport(printer, workedTable(QLocale::c()));
    QCOMPARE(device.documents, 1);

    // 34 lines: the first in the printer's own 12 points, the title in 16, the other 32 in 14.
    QCOMPARE(printer.top(), 0.0); // reset by the end of the document
    const RecordingDevice::Text* title = device.find(QStringLiteral("ETA Calculator Resultaten"));
    QVERIFY(title);
    QCOMPARE(title->column, 14.0);
    QCOMPARE(title->pointSize, 16.0);
    QVERIFY(title->bold);
    QCOMPARE(title->top, 24.0);
    const RecordingDevice::Text& last = device.texts.back();
    QCOMPARE(last.text, QStringLiteral(" 01-03-2002 11:00"));
    QCOMPARE(last.top, 24.0 + 32.0 + 31 * 28.0); // the 34th line
    QCOMPARE(last.column, 42.0);

    const QStringList labels{QStringLiteral("Vertek datum en tijd"), QStringLiteral("Afstand "),
                             QStringLiteral("Datumgrens Correctie "), QStringLiteral("Tijdsverschil ")};
    const QStringList values{QStringLiteral("01-03-2002 08:00"), QStringLiteral("120.00"),
                             QStringLiteral("0"), QStringLiteral("1")};
    for (int i = 0; i < labels.size(); ++i) {
        const RecordingDevice::Text* label = device.find(labels[i]);
        const RecordingDevice::Text* value = device.find(values[i]);
        QVERIFY2(label && value, qPrintable(labels[i]));
        QCOMPARE(label->column, 14.0);
        QCOMPARE(value->column, 42.0);
        QCOMPARE(value->top, label->top);
        QCOMPARE(value->pointSize, 14.0);
        QVERIFY(!value->bold);
    }
    QCOMPARE(device.find(QStringLiteral(" Vaart"))->column, 14.0);
    QCOMPARE(device.find(QStringLiteral("  ETA Dag"))->column, 28.0);
    QCOMPARE(device.find(QStringLiteral(" Datum and Tijd."))->column, 42.0);

    // Rows in index order, each after an empty line.
    double previousTop = device.find(QStringLiteral(" Vaart"))->top;
    int rows = 0;
    for (const RecordingDevice::Text& t : device.texts) {
        if (t.column == 14.0 && t.text.startsWith(u' ') && t.text.endsWith(u"00") && t.top > previousTop) {
            QCOMPARE(t.top, previousTop + 56.0);
            previousTop = t.top;
            ++rows;
        }
    }
    QCOMPARE(rows, EtaRowCount);
}

void TestReports::etaReportPrintsBoxesAsTheyStand() {
    EtaTable table = workedTable(dutch);
    table.distance.clear();
    table.timeDiff = QStringLiteral("getypt door de gebruiker");
    RecordingDevice device;
    ReportPrinter printer(device);
    PrintEtaReport(printer, table);
    const RecordingDevice::Text* distance = device.find(QStringLiteral("Afstand "));
    const RecordingDevice::Text* dateLine = device.find(QStringLiteral("Datumgrens Correctie "));
    QVERIFY(distance && dateLine);
    QCOMPARE(dateLine->top, distance->top + 56.0); // the empty box does not shift the next line
    QCOMPARE(device.find(QStringLiteral("getypt door de gebruiker"))->column, 42.0);
    QCOMPARE(device.find(QStringLiteral(" vrijdag "))->column, 28.0);
}

void TestReports::speedReport_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("speed");
    QTest::newRow("C locale") << QLocale::c() << "5.60";
    QTest::newRow("Dutch locale") << dutch << "5,60";
}

void TestReports::speedReport() {
    QFETCH(QLocale, locale);
    QFETCH(QString, speed);
    SpeedInput input;
    input.departureDate = DateTime::fromDate(QDate(2026, 12, 6));
    input.arrivalDate = DateTime::fromDate(QDate(2026, 12, 7));
    input.departureTime = QStringLiteral("08.00");
    input.arrivalTime = QStringLiteral("14.30");
    input.timeDifference = QStringLiteral("1");
    input.distance = QStringLiteral("300");
    input.dateLine = DateLine::DayBack;
    const SpeedResult result = CalculateSpeed(input, locale);
    RecordingDevice device;
    ReportPrinter printer(device);
    PrintSpeedReport(printer, result, SplitSteamingHours(result.steamingHours), locale);
    QCOMPARE(device.documents, 1);

    const RecordingDevice::Text* title = device.find(QStringLiteral("SpeedCalculator Resultaten"));
    QCOMPARE(title->column, 28.0);
    QCOMPARE(title->pointSize, 16.0);
    QVERIFY(title->bold);
    const std::pair<QString, QString> lines[] = {
        {QStringLiteral("Vertrek datum en tijd "), QStringLiteral("06-12-2026 8:00")},
        {QStringLiteral("Aankomst datum en tijd "), QStringLiteral("07-12-2026 14:30")},
        {QStringLiteral("Datumgrens Correctie "), QStringLiteral("-24")},
        {QStringLiteral("Tijdsverschil "), QStringLiteral("1")},
        {QStringLiteral("Stoom tijd"), QStringLiteral("53")},
    };
    double top = 24.0 + 32.0 + 24.0; // empty line, title, empty line
    for (const auto& [label, value] : lines) {
        const RecordingDevice::Text* l = device.find(label);
        const RecordingDevice::Text* v = device.find(value);
        QVERIFY2(l && v, qPrintable(label));
        QCOMPARE(l->column, 0.0);
        QCOMPARE(v->column, 28.0);
        QCOMPARE(l->top, top);
        QCOMPARE(v->top, top);
        QCOMPARE(v->pointSize, 12.0);
        top += 24.0;
    }
    QCOMPARE(device.find(QStringLiteral(":"))->column, 30.0);
    QCOMPARE(device.find(QStringLiteral("30"))->column, 30.5);
    const RecordingDevice::Text* average = device.find(speed);
    QVERIFY(average);
    QCOMPARE(average->column, 22.0);
    QCOMPARE(average->top, top + 24.0);
}

void TestReports::speedReportZeroState() {
    RecordingDevice device;
    ReportPrinter printer(device);
    PrintSpeedReport(printer, SpeedResult{}, SteamingTime{}, QLocale::c());
    QCOMPARE(device.texts[1].text, QStringLiteral("Vertrek datum en tijd "));
    QCOMPARE(device.texts[2].text, QStringLiteral("30-12-1899 0:00"));
    QCOMPARE(device.find(QStringLiteral("00"))->column, 29.5);
    QCOMPARE(device.find(QStringLiteral(".00"))->column, 22.0);
}

QTEST_GUILESS_MAIN(TestReports)
#include "tst_reports.moc"
