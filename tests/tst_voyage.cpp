#include "WorkedExamples.h"

#include <QTest>

#include <optional>

using namespace kw;

Q_DECLARE_METATYPE(kw::ErrorKind)
Q_DECLARE_METATYPE(kw::Input)
Q_DECLARE_METATYPE(kw::SpeedInput)

namespace {

const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
const QLocale cLocale = QLocale::c();

// The kind of error the call failed with; none when it did not fail.
std::optional<ErrorKind> failureOf(const auto& call, Input* input = nullptr) {
    try {
        call();
    } catch (const RunTimeError& error) {
        if (input)
            *input = error.input();
        return error.kind();
    }
    return std::nullopt;
}

} // namespace

class TestVoyage final : public QObject {
    Q_OBJECT

private slots:
    void workedPassage_data();
    void workedPassage();
    void dateLineOptions();
    void timeDifferenceIsHours_data();
    void timeDifferenceIsHours();
    void stepsAndSpeeds();
    void etaFailures_data();
    void etaFailures();
    void speed_data();
    void speed();
    void speedKeepsWhatItUsed();
    void speedFailures_data();
    void speedFailures();
    void steamingTime_data();
    void steamingTime();
    void steamingTimeOverflow();
};

void TestVoyage::workedPassage_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("date");
    QTest::newRow("10 knots, 720 minutes") << 0 << " 10.00"
                                           << " 01-03-2002 21:00";
    QTest::newRow("15 knots, 480 minutes") << 1 << " 15.00"
                                           << " 01-03-2002 17:00";
    QTest::newRow("20 knots, 360 minutes") << 2 << " 20.00"
                                           << " 01-03-2002 15:00";
    QTest::newRow("25 knots, 288 minutes") << 3 << " 25.00"
                                           << " 01-03-2002 13:48";
    QTest::newRow("30 knots, 240 minutes") << 4 << " 30.00"
                                           << " 01-03-2002 13:00";
    QTest::newRow("60 knots, 120 minutes") << 10 << " 60.00"
                                           << " 01-03-2002 11:00";
}

void TestVoyage::workedPassage() {
    QFETCH(int, row);
    QFETCH(QString, speed);
    QFETCH(QString, date);
    const EtaTable c = CalculateEta(::workedPassage(), cLocale);
    QCOMPARE(c.rows[row].speed, speed);
    QCOMPARE(c.rows[row].date, date);
    QCOMPARE(c.rows[row].day, QStringLiteral(" Friday "));
    QCOMPARE(c.departure, QStringLiteral("01-03-2002 08:00"));
    QCOMPARE(c.distance, QStringLiteral("120.00"));
    QCOMPARE(c.dateLine, QStringLiteral("0"));
    QCOMPARE(c.timeDiff, QStringLiteral("1"));

    const EtaTable nl = CalculateEta(::workedPassage(), dutch);
    QCOMPARE(nl.rows[row].speed, QString(speed).replace(u'.', u','));
    QCOMPARE(nl.rows[row].date, date);
    QCOMPARE(nl.rows[row].day, QStringLiteral(" vrijdag "));
    QCOMPARE(nl.distance, QStringLiteral("120,00"));
}

void TestVoyage::dateLineOptions() {
    EtaInput input = ::workedPassage();
    input.dateLine = DateLine::DayForward;
    EtaTable table = CalculateEta(input, cLocale);
    QCOMPARE(table.rows[0].date, QStringLiteral(" 02-03-2002 21:00"));
    QCOMPARE(table.rows[0].day, QStringLiteral(" Saturday "));
    QCOMPARE(table.departure, QStringLiteral("01-03-2002 08:00"));
    QCOMPARE(table.dateLine, QStringLiteral("24"));

    input.dateLine = DateLine::DayBack;
    table = CalculateEta(input, cLocale);
    QCOMPARE(table.rows[4].date, QStringLiteral(" 28-02-2002 13:00"));
    QCOMPARE(table.dateLine, QStringLiteral("-24"));
}

void TestVoyage::timeDifferenceIsHours_data() {
    QTest::addColumn<QString>("timeDiff");
    QTest::addColumn<QString>("arrival"); // row 0: 720 minutes after the shifted departure
    QTest::newRow("5.5 shifts 330 minutes") << "5.5"
                                            << " 02-03-2002 01:30";
    QTest::newRow("5.30 is 5.3 hours, 318 minutes") << "5.30"
                                                    << " 02-03-2002 01:18";
    QTest::newRow("negative") << "-3"
                              << " 01-03-2002 17:00";
}

void TestVoyage::timeDifferenceIsHours() {
    QFETCH(QString, timeDiff);
    QFETCH(QString, arrival);
    EtaInput input = ::workedPassage();
    input.timeDifference = timeDiff;
    const EtaTable table = CalculateEta(input, cLocale);
    QCOMPARE(table.rows[0].date, arrival);
    QCOMPARE(table.timeDiff, timeDiff); // as typed, not the number written back
}

void TestVoyage::stepsAndSpeeds() {
    EtaInput input = ::workedPassage();
    input.startSpeed = QStringLiteral("7,5");
    input.speedStep = QStringLiteral("0");
    input.distance = QStringLiteral(",50");
    EtaTable table = CalculateEta(input, dutch);
    QCOMPARE(table.rows[0].speed, QStringLiteral(" 07,50"));
    QCOMPARE(table.distance, QStringLiteral(",50"));
    for (const EtaRow& row : table.rows)
        QCOMPARE(row.date, table.rows[0].date);

    input = ::workedPassage();
    input.startSpeed = QStringLiteral("112.25");
    input.speedStep = QStringLiteral("-10");
    table = CalculateEta(input, cLocale);
    QCOMPARE(table.rows[0].speed, QStringLiteral(" 112.25"));
    QCOMPARE(table.rows[10].speed, QStringLiteral(" 12.25"));
    // Falling speeds arrive later row by row; the text sorts like the time within one day.
    for (int i = 1; i < EtaRowCount; ++i)
        QVERIFY2(table.rows[i].date > table.rows[i - 1].date, qPrintable(table.rows[i].date));

    // Speeds accumulate by repeated addition, row by row. Where a double cannot hold the sum, the
    // two ways part: 10^16 + 1 rounds back to 10^16 at every step, while 10^16 + 2 x 1 is exact.
    input.startSpeed = QStringLiteral("10000000000000000");
    input.speedStep = QStringLiteral("1");
    table = CalculateEta(input, cLocale);
    for (int row : {1, 2, 10})
        QCOMPARE(table.rows[row].speed, QStringLiteral(" 10000000000000000.00"));
}

void TestVoyage::etaFailures_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<ErrorKind>("kind");
    QTest::addColumn<Input>("failingInput");
    QTest::newRow("speed 0") << "vaart"
                             << "0" << ErrorKind::DivisionByZero << Input::StartSpeed;
    QTest::newRow("step brings speed to 0 in row 3") << "vvers"
                                                     << "-5" << ErrorKind::DivisionByZero << Input::SpeedStep;
    QTest::newRow("empty clock time") << "sTime"
                                      << "" << ErrorKind::TypeMismatch << Input::DepartureTime;
    QTest::newRow("clock time overflow") << "sTime"
                                         << "547" << ErrorKind::Overflow << Input::DepartureTime;
    QTest::newRow("time difference letters") << "timeDiff"
                                             << "een" << ErrorKind::TypeMismatch << Input::TimeDifference;
    QTest::newRow("distance empty") << "dist"
                                    << "" << ErrorKind::TypeMismatch << Input::Distance;
    QTest::newRow("step empty") << "vvers"
                                << " " << ErrorKind::TypeMismatch << Input::SpeedStep;
    QTest::newRow("arrival beyond 9999") << "timeDiff"
                                         << "80000000" << ErrorKind::DateOutOfRange << Input::None;
    QTest::newRow("enormous distance")
        << "dist" << QString(301, u'9') << ErrorKind::DateOutOfRange << Input::None;
}

void TestVoyage::etaFailures() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(ErrorKind, kind);
    QFETCH(Input, failingInput);
    EtaInput input = ::workedPassage();
    input.speedStep = QStringLiteral("-2.5"); // row 4 reaches 0 when the step is -2.5 and start 10
    if (field == u"vaart")
        input.startSpeed = text;
    else if (field == u"vvers")
        input.speedStep = text;
    else if (field == u"sTime")
        input.departureTime = text;
    else if (field == u"timeDiff")
        input.timeDifference = text;
    else if (field == u"dist")
        input.distance = text;
    if (field != u"vvers")
        input.speedStep = QStringLiteral("5");
    Input actualInput = Input::None;
    QCOMPARE(failureOf([&] { CalculateEta(input, cLocale); }, &actualInput), std::optional(kind));
    QCOMPARE(actualInput, failingInput);
}

void TestVoyage::speed_data() {
    QTest::addColumn<SpeedInput>("input");
    QTest::addColumn<double>("steamingHours");
    QTest::addColumn<double>("averageSpeed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("worked example") << workedSpeed() << 29.5 << 10.16 << "10.16";

    SpeedInput sevenHours = workedSpeed();
    sevenHours.arrivalDate = sevenHours.departureDate;
    sevenHours.arrivalTime = QStringLiteral("15.00");
    sevenHours.timeDifference = QStringLiteral("0");
    sevenHours.distance = QStringLiteral("100");
    QTest::newRow("100 miles in 7 hours truncates") << sevenHours << 7.0 << 14.28 << "14.28";

    SpeedInput backwards = sevenHours;
    backwards.departureTime = QStringLiteral("15.00");
    backwards.arrivalTime = QStringLiteral("08.00");
    QTest::newRow("minus 7 hours floors down") << backwards << -7.0 << -14.29 << "-14.29";

    SpeedInput twoBefore = sevenHours;
    twoBefore.departureTime = QStringLiteral("10.00");
    twoBefore.arrivalTime = QStringLiteral("08.00");
    twoBefore.distance = QStringLiteral("25");
    QTest::newRow("arrival before departure") << twoBefore << -2.0 << -12.5 << "-12.50";

    SpeedInput dateLine = sevenHours;
    dateLine.departureTime = QStringLiteral("20.00");
    dateLine.arrivalDate = DateTime::fromDate(QDate(2026, 12, 8));
    dateLine.arrivalTime = QStringLiteral("08.00");
    dateLine.distance = QStringLiteral("180");
    dateLine.dateLine = DateLine::DayForward;
    QTest::newRow("date line one day forward") << dateLine << 12.0 << 15.0 << "15.00";

    SpeedInput exactHundredths = sevenHours;
    exactHundredths.arrivalTime = QStringLiteral("09.00");
    exactHundredths.distance = QStringLiteral("14.35");
    QTest::newRow("14.35 miles in 1 hour stays 14.35") << exactHundredths << 1.0 << 14.35 << "14.35";

    SpeedInput lostMinute = sevenHours;
    lostMinute.departureTime = QStringLiteral("14.29");
    lostMinute.arrivalTime = QStringLiteral("16.30");
    lostMinute.distance = QStringLiteral("121");
    QTest::newRow("14.29 counts as 14:29: 121 minutes") << lostMinute << 121.0 / 60.0 << 60.0 << "60.00";
}

void TestVoyage::speed() {
    QFETCH(SpeedInput, input);
    QFETCH(double, steamingHours);
    QFETCH(double, averageSpeed);
    QFETCH(QString, shown);
    for (const QLocale& locale : {cLocale, dutch}) {
        const SpeedResult result = CalculateSpeed(input, locale);
        QCOMPARE(result.steamingHours, steamingHours);
        QCOMPARE(result.averageSpeed, averageSpeed);
        const QString expected = locale == dutch ? QString(shown).replace(u'.', u',') : shown;
        QCOMPARE(FormatNumber(result.averageSpeed, u"##.00", locale), expected);
    }
}

void TestVoyage::speedKeepsWhatItUsed() {
    SpeedInput input = workedSpeed();
    input.timeDifference = QStringLiteral("1,0");
    input.dateLine = DateLine::DayBack;
    const SpeedResult result = CalculateSpeed(input, dutch);
    QCOMPARE(result.timeDiffText, QStringLiteral("1,0"));
    QCOMPARE(result.dateLine, DateLine::DayBack);
    QCOMPARE(result.departure, DateTime::fromDate(QDate(2026, 12, 6), 8, 0));
    QCOMPARE(result.arrival, DateTime::fromDate(QDate(2026, 12, 7), 14, 30));
    QCOMPARE(result.steamingHours, 53.5);
}

void TestVoyage::speedFailures_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<ErrorKind>("kind");
    QTest::newRow("departure equals arrival") << "same"
                                              << "" << ErrorKind::DivisionByZero;
    QTest::newRow("zero over zero") << "same"
                                    << "0" << ErrorKind::InvalidOperation;
    QTest::newRow("STime empty") << "sTime"
                                 << "" << ErrorKind::TypeMismatch;
    QTest::newRow("ATime letters") << "aTime"
                                   << "acht" << ErrorKind::TypeMismatch;
    QTest::newRow("ATime overflow") << "aTime"
                                    << "546.08" << ErrorKind::Overflow;
    QTest::newRow("TimeDiff not a number") << "timeDiff"
                                           << "1:30" << ErrorKind::TypeMismatch;
    QTest::newRow("Dist empty") << "dist"
                                << "" << ErrorKind::TypeMismatch;
    QTest::newRow("Dist huge over a tiny time") << "tiny"
                                                << "" << ErrorKind::FloatOverflow;
}

void TestVoyage::speedFailures() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(ErrorKind, kind);
    SpeedInput input = workedSpeed();
    if (field == u"same") {
        input.arrivalDate = input.departureDate;
        input.arrivalTime = input.departureTime;
        input.timeDifference = QStringLiteral("0");
        if (!text.isEmpty())
            input.distance = text;
    } else if (field == u"sTime") {
        input.departureTime = text;
    } else if (field == u"aTime") {
        input.arrivalTime = text;
    } else if (field == u"timeDiff") {
        input.timeDifference = text;
    } else if (field == u"dist") {
        input.distance = text;
    } else if (field == u"tiny") {
        input.timeDifference = QStringLiteral("30.4999999999999");
        input.distance = QStringLiteral("1") + QString(305, u'0');
    }
    QCOMPARE(failureOf([&] { CalculateSpeed(input, cLocale); }), std::optional(kind));
}

void TestVoyage::steamingTime_data() {
    QTest::addColumn<double>("hours");
    QTest::addColumn<int>("wholeHours");
    QTest::addColumn<int>("minutes");
    QTest::newRow("138 minutes is 2:18") << 138 / 60.0 << 2 << 18;
    QTest::newRow("80 minutes is 1:20") << 80 / 60.0 << 1 << 20;
    QTest::newRow("90 minutes is 1:30") << 1.5 << 1 << 30;
    QTest::newRow("150 minutes is 2:30") << 2.5 << 2 << 30;
    QTest::newRow("negative floors the hour") << -1.5 << -2 << 30;
    QTest::newRow("zero state") << 0.0 << 0 << 0;
    QTest::newRow("29.5") << 29.5 << 29 << 30;
    QTest::newRow("2.3 less 0.1 hours is 2:12") << (2.3 - 0.1) << 2 << 12;
}

void TestVoyage::steamingTime() {
    QFETCH(double, hours);
    QFETCH(int, wholeHours);
    QFETCH(int, minutes);
    const SteamingTime time = SplitSteamingHours(hours);
    QCOMPARE(time.hours, wholeHours);
    QCOMPARE(time.minutes, minutes);
}

void TestVoyage::steamingTimeOverflow() {
    QCOMPARE(failureOf([] { SplitSteamingHours(32768.0); }), std::optional(ErrorKind::Overflow));
    QCOMPARE(failureOf([] { SplitSteamingHours(-32769.0); }), std::optional(ErrorKind::Overflow));
    QCOMPARE(SplitSteamingHours(32767.5).minutes, 30);
}

QTEST_GUILESS_MAIN(TestVoyage)
#include "tst_voyage.moc"
