#include "core/Voyage.h"

#include <QTest>

using namespace kw;

Q_DECLARE_METATYPE(kw::ErrorKind)

namespace {

const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
const QLocale cLocale = QLocale::c();

QLocale localeNamed(const QString& name) {
    return name == u"nl" ? dutch : cLocale;
}

} // namespace

class TestArithmetic final : public QObject {
    Q_OBJECT

private slots:
    void textToNumber_data();
    void textToNumber();
    void textToNumberRejects_data();
    void textToNumberRejects();
    void localeSeparator_data();
    void localeSeparator();
    void clockText_data();
    void clockText();
    void clockTextFails_data();
    void clockTextFails();
    void addMinutes_data();
    void addMinutes();
    void addMinutesOutOfRange();
    void minutesBetween();
    void numberPatterns_data();
    void numberPatterns();
    void datePatterns_data();
    void datePatterns();
    void zeroDateTime();
    void errorMessages();
};

void TestArithmetic::textToNumber_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("nl: the tooltip's 14.30 stays 14.3, not 1430") << "nl"
                                                                  << "14.30" << 14.3;
    QTest::newRow("nl: 14,30 is 14.3") << "nl"
                                       << "14,30" << 14.3;
    QTest::newRow("nl: blanks around") << "nl"
                                       << "  5,5 " << 5.5;
    QTest::newRow("nl: leading sign") << "nl"
                                      << "-0,30" << -0.3;
    QTest::newRow("nl: plus sign") << "nl"
                                   << "+12" << 12.0;
    QTest::newRow("nl: no leading digit") << "nl"
                                          << ",5" << 0.5;
    QTest::newRow("C: point") << "C"
                              << "120" << 120.0;
    QTest::newRow("C: decimals") << "C"
                                 << "112.25" << 112.25;
    QTest::newRow("C: trailing point") << "C"
                                       << "7." << 7.0;
    QTest::newRow("C: tiny underflows to zero")
        << "C" << (QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1")) << 0.0;
}

void TestArithmetic::textToNumber() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(TextToNumber(text, localeNamed(locale)), expected);
}

void TestArithmetic::localeSeparator_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("copied");
    // A typed value is copied in the user's separator, as it is read; other text as it stands.
    QTest::newRow("a number typed with a point") << " -12.5" << " -12,5";
    QTest::newRow("text that is no number") << "12.5 kn" << "12.5 kn";
    QTest::newRow("two points") << "1.2.3" << "1.2.3";
}

void TestArithmetic::localeSeparator() {
    QFETCH(QString, text);
    QFETCH(QString, copied);
    QCOMPARE(WithLocaleSeparator(text, QLocale(QLocale::Dutch, QLocale::Netherlands)), copied);
}

void TestArithmetic::textToNumberRejects_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<ErrorKind>("kind");
    QTest::newRow("empty") << "nl"
                           << "" << ErrorKind::TypeMismatch;
    QTest::newRow("blanks") << "nl"
                            << "   " << ErrorKind::TypeMismatch;
    QTest::newRow("letters") << "nl"
                             << "abc" << ErrorKind::TypeMismatch;
    QTest::newRow("grouping is not read") << "nl"
                                          << "1.000,5" << ErrorKind::TypeMismatch;
    QTest::newRow("C: comma is no separator") << "C"
                                              << "14,30" << ErrorKind::TypeMismatch;
    QTest::newRow("exponent") << "C"
                              << "1e308" << ErrorKind::TypeMismatch;
    QTest::newRow("NaN") << "C"
                         << "NaN" << ErrorKind::TypeMismatch;
    QTest::newRow("lone sign") << "C"
                               << "-" << ErrorKind::TypeMismatch;
    QTest::newRow("sign then blank") << "C"
                                     << "- 5" << ErrorKind::TypeMismatch;
    QTest::newRow("two points") << "C"
                                << "1.2.3" << ErrorKind::TypeMismatch;
    QTest::newRow("too large for a double")
        << "C" << (QStringLiteral("1") + QString(400, u'0')) << ErrorKind::FloatOverflow;
}

void TestArithmetic::textToNumberRejects() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(ErrorKind, kind);
    try {
        TextToNumber(text, localeNamed(locale), Input::Distance);
        QFAIL("accepted");
    } catch (const RunTimeError& error) {
        QCOMPARE(error.kind(), kind);
        QCOMPARE(error.input(), Input::Distance);
    }
}

void TestArithmetic::clockText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("minutePart");
    QTest::addColumn<int>("total");
    QTest::newRow("14.30") << "14.30" << 14 << 30 << 870;
    QTest::newRow("14.29 keeps its minute") << "14.29" << 14 << 29 << 869;
    QTest::newRow("2.30 keeps its minute") << "2.30" << 2 << 30 << 150;
    QTest::newRow("23.59 keeps its minute") << "23.59" << 23 << 59 << 1439;
    QTest::newRow("one decimal is tens") << "10.3" << 10 << 30 << 630;
    QTest::newRow("no range test on minutes") << "10.75" << 10 << 75 << 675;
    QTest::newRow("third decimal dropped") << "10.305" << 10 << 30 << 630;
    QTest::newRow("whole hours") << "12" << 12 << 0 << 720;
    QTest::newRow("negative is floored") << "-0.30" << -1 << 70 << 10;
    QTest::newRow("largest total") << "546.07" << 546 << 7 << 32767;
    QTest::newRow("midnight") << "0" << 0 << 0 << 0;
    QTest::newRow("8.05") << "8.05" << 8 << 5 << 485;
}

void TestArithmetic::clockText() {
    QFETCH(QString, text);
    QFETCH(int, hours);
    QFETCH(int, minutePart);
    QFETCH(int, total);
    for (const QLocale& locale : {dutch, cLocale}) {
        const ClockMinutes clock = ClockTextToMinutes(text, locale);
        QCOMPARE(clock.hours, hours);
        QCOMPARE(clock.minutePart, minutePart);
        QCOMPARE(clock.total, total);
    }
    // The same value typed with the Dutch separator.
    QCOMPARE(ClockTextToMinutes(QString(text).replace(u'.', u','), dutch).total, total);
}

void TestArithmetic::clockTextFails_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<ErrorKind>("kind");
    QTest::newRow("546.08 overflows at the addition") << "546.08" << ErrorKind::Overflow;
    QTest::newRow("547 overflows at the multiplication") << "547" << ErrorKind::Overflow;
    QTest::newRow("hours beyond 16 bits") << "40000" << ErrorKind::Overflow;
    QTest::newRow("-546.99 overflows below") << "-547.5" << ErrorKind::Overflow;
    QTest::newRow("empty") << "" << ErrorKind::TypeMismatch;
    QTest::newRow("hh:mm is not a number") << "14:30" << ErrorKind::TypeMismatch;
}

void TestArithmetic::clockTextFails() {
    QFETCH(QString, text);
    QFETCH(ErrorKind, kind);
    try {
        ClockTextToMinutes(text, cLocale, Input::DepartureTime);
        QFAIL("accepted");
    } catch (const RunTimeError& error) {
        QCOMPARE(error.kind(), kind);
        QCOMPARE(error.input(), Input::DepartureTime);
        QCOMPARE(error.expected(), Expected::ClockTime);
    }
}

void TestArithmetic::addMinutes_data() {
    QTest::addColumn<double>("minutes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << 870.0 << "06-12-2026 14:30";
    QTest::newRow("past midnight") << 1500.0 << "07-12-2026 01:00";
    QTest::newRow("negative") << -30.0 << "05-12-2026 23:30";
    QTest::newRow("fraction below half") << 10.4 << "06-12-2026 00:10";
    QTest::newRow("half rounds up") << 10.5 << "06-12-2026 00:11";
    QTest::newRow("negative half rounds away") << -10.5 << "05-12-2026 23:49";
}

void TestArithmetic::addMinutes() {
    QFETCH(double, minutes);
    QFETCH(QString, expected);
    const DateTime start = DateTime::fromDate(QDate(2026, 12, 6));
    QCOMPARE(FormatDateTime(AddMinutes(start, minutes), u"dd-MM-yyyy hh:mm", cLocale), expected);
}

void TestArithmetic::addMinutesOutOfRange() {
    const DateTime last = DateTime::fromDate(QDate(9999, 12, 31), 23, 59);
    QVERIFY_THROWS_EXCEPTION(RunTimeError, AddMinutes(last, 1));
    const DateTime first = DateTime::fromDate(QDate(100, 1, 1));
    QVERIFY_THROWS_EXCEPTION(RunTimeError, AddMinutes(first, -1));
    QVERIFY_THROWS_EXCEPTION(RunTimeError, AddMinutes(first, 1e300));
    try {
        AddMinutes(last, 1);
    } catch (const RunTimeError& error) {
        QCOMPARE(error.kind(), ErrorKind::DateOutOfRange);
    }
    QCOMPARE(AddMinutes(last, 0), last);
}

void TestArithmetic::minutesBetween() {
    const DateTime a = DateTime::fromDate(QDate(2026, 12, 6), 8, 0);
    const DateTime b = DateTime::fromDate(QDate(2026, 12, 7), 14, 30);
    QCOMPARE(MinutesBetween(a, b), 1830);
    QCOMPARE(MinutesBetween(b, a), -1830);
    QCOMPARE(MinutesBetween(a, a), 0);
    const DateTime far = DateTime::fromDate(QDate(9999, 1, 1));
    QVERIFY_THROWS_EXCEPTION(RunTimeError, MinutesBetween(a, far));
}

void TestArithmetic::numberPatterns_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected"); // with a point; the Dutch run expects a comma
    QTest::newRow("speed 12.5") << 12.5 << " ###00.00"
                                << " 12.50";
    QTest::newRow("speed 8 gets a leading zero") << 8.0 << " ###00.00"
                                                 << " 08.00";
    QTest::newRow("speed 7.5") << 7.5 << " ###00.00"
                               << " 07.50";
    QTest::newRow("speed 112.25") << 112.25 << " ###00.00"
                                  << " 112.25";
    QTest::newRow("speed negative") << -7.5 << " ###00.00"
                                    << " -07.50";
    QTest::newRow("distance below 1 has no leading digit") << 0.5 << "###.00"
                                                           << ".50";
    QTest::newRow("distance rounds") << 123.456 << "###.00"
                                     << "123.46";
    QTest::newRow("distance 120") << 120.0 << "###.00"
                                  << "120.00";
    QTest::newRow("zero shows .00") << 0.0 << "##.00"
                                    << ".00";
    QTest::newRow("integer digits beyond placeholders") << 1234.5 << "##.00"
                                                        << "1234.50";
    QTest::newRow("half away from zero") << 0.125 << "##.00"
                                         << ".13";
    QTest::newRow("negative half away from zero") << -0.125 << "##.00"
                                                  << "-.13";
    QTest::newRow("decimal half 1.005") << 1.005 << "##.00"
                                        << "1.01";
    QTest::newRow("speed -12.5") << -12.5 << "##.00"
                                 << "-12.50";
    QTest::newRow("minutes 7") << 7.0 << "00"
                               << "07";
    QTest::newRow("minutes 5") << 5.0 << "00"
                               << "05";
    QTest::newRow("minutes 45") << 45.0 << "00"
                                << "45";
}

void TestArithmetic::numberPatterns() {
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(FormatNumber(value, pattern, cLocale), expected);
    QCOMPARE(FormatNumber(value, pattern, dutch), QString(expected).replace(u'.', u','));
}

void TestArithmetic::datePatterns_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("dutchText");
    QTest::addColumn<QString>("cText");
    // Sunday 6 December 2026, 09:05.
    QTest::newRow("departure") << "dd-MM-yyyy hh:mm"
                               << "06-12-2026 09:05"
                               << "06-12-2026 09:05";
    QTest::newRow("ETA cell") << " dd-MM-yyyy hh:mm"
                              << " 06-12-2026 09:05"
                              << " 06-12-2026 09:05";
    QTest::newRow("report, hour unpadded") << "dd-MM-yyyy h:mm"
                                           << "06-12-2026 9:05"
                                           << "06-12-2026 9:05";
    QTest::newRow("picker text") << "dd-MM-yy"
                                 << "06-12-26"
                                 << "06-12-26";
    QTest::newRow("weekday") << " dddd "
                             << " zondag "
                             << " Sunday ";
}

void TestArithmetic::datePatterns() {
    QFETCH(QString, pattern);
    QFETCH(QString, dutchText);
    QFETCH(QString, cText);
    const DateTime value = DateTime::fromDate(QDate(2026, 12, 6), 9, 5);
    QCOMPARE(FormatDateTime(value, pattern, dutch), dutchText);
    QCOMPARE(FormatDateTime(value, pattern, cLocale), cText);
}

void TestArithmetic::zeroDateTime() {
    const DateTime zero;
    QCOMPARE(zero.date(), QDate(1899, 12, 30));
    QCOMPARE(FormatDateTime(zero, u"dd-MM-yyyy h:mm", cLocale), QStringLiteral("30-12-1899 0:00"));
    // Before the zero date the time of day still counts forward from midnight.
    const DateTime before = AddMinutes(zero, -30);
    QCOMPARE(FormatDateTime(before, u"dd-MM-yyyy hh:mm", cLocale), QStringLiteral("29-12-1899 23:30"));
}

void TestArithmetic::errorMessages() {
    const RunTimeError clock(ErrorKind::TypeMismatch, Input::DepartureTime, Expected::ClockTime);
    QCOMPARE(ErrorMessage(clock, QStringLiteral("Vertrek tijd"), dutch),
             QStringLiteral("Het veld \u201CVertrek tijd\u201D bevat geen geldig getal.\n"
                            "Verwacht: een tijd als uu.mm, bijvoorbeeld 14.30."));
    const RunTimeError number(ErrorKind::TypeMismatch, Input::Distance, Expected::Number);
    QVERIFY(ErrorMessage(number, QStringLiteral("Afstand"), dutch).endsWith(u"bijvoorbeeld 12,5."));
    QVERIFY(ErrorMessage(number, QStringLiteral("Afstand"), cLocale).endsWith(u"bijvoorbeeld 12.5."));
    const RunTimeError overflow(ErrorKind::Overflow, Input::DepartureTime, Expected::ClockTime);
    QVERIFY(ErrorMessage(overflow, QStringLiteral("Vertrek tijd"), dutch).contains(u"te groot"));
}

QTEST_GUILESS_MAIN(TestArithmetic)
#include "tst_arithmetic.moc"
