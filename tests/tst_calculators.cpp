#include "GuiFixture.h"

#include "calc/DatePicker.h"
#include "calc/EtaCalculator.h"
#include "calc/EtaResults.h"
#include "calc/SpeedCalculator.h"

#include <QLabel>
#include <QRadioButton>

using namespace kw;

namespace {

const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);

QStringList resultTexts(QWidget& form2) {
    QStringList texts;
    for (int i = 0; i < EtaRowCount; ++i) {
        texts << GuiFixture::text(form2, QStringLiteral("Speed_%1").arg(i))
              << GuiFixture::text(form2, QStringLiteral("ETADay_%1").arg(i))
              << GuiFixture::text(form2, QStringLiteral("ETADate_%1").arg(i));
    }
    for (int i = 1; i <= 4; ++i)
        texts << GuiFixture::text(form2, QStringLiteral("Text%1").arg(i));
    return texts;
}

} // namespace

class TestCalculators final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pickersStartAtToday();
    void etaWorkedPassage_data();
    void etaWorkedPassage();
    void etaResultsInitialTexts();
    void etaDateLineSurvivesMenu();
    void etaFailureChangesNothing_data();
    void etaFailureChangesNothing();
    void etaFirstFailureCreatesNoResults();
    void etaResultNavigation();
    void speedWorkedExample_data();
    void speedWorkedExample();
    void speedFailureChangesNothing_data();
    void speedFailureChangesNothing();
    void speedStateSurvivesMenu();
    void badInputNeverLosesTyping();

private:
    std::unique_ptr<GuiFixture> m_f;
};

void TestCalculators::init() {
    QLocale::setDefault(QLocale::c());
    m_f = std::make_unique<GuiFixture>();
    m_f->screens.Start().showCentred();
}

void TestCalculators::cleanup() {
    QLocale::setDefault(QLocale::c());
}

void TestCalculators::pickersStartAtToday() {
    const QDate today = QDate::currentDate();
    auto* sail = GuiFixture::child<DatePicker>(m_f->screens.Form1(), QStringLiteral("SailDate"));
    QCOMPARE(sail->value(), DateTime::fromDate(today));
    QCOMPARE(sail->displayFormat(), QStringLiteral("dd-MM-yyyy"));
    QVERIFY(sail->calendarPopup());
    QCOMPARE(sail->minimumDate(), QDate(2000, 1, 1));
    QCOMPARE(sail->maximumDate(), QDate(9999, 12, 31));
    for (const char* name : {"SDate", "ADate"})
        QCOMPARE(GuiFixture::child<DatePicker>(m_f->screens.Form3(), QString::fromLatin1(name))->value(),
                 DateTime::fromDate(today));
    // Settable from a date text, as the load step does.
    QVERIFY(sail->setValueFromText(QStringLiteral("07-12-26")));
    QCOMPARE(sail->date(), QDate(2026, 12, 7));
    QVERIFY(!sail->setValueFromText(QStringLiteral("geen datum")));
    QCOMPARE(sail->date(), QDate(2026, 12, 7));
}

void TestCalculators::etaWorkedPassage_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("friday");
    QTest::newRow("C locale") << QLocale::c() << " Friday ";
    QTest::newRow("Dutch locale") << dutch << " vrijdag ";
}

void TestCalculators::etaWorkedPassage() {
    QFETCH(QLocale, locale);
    QFETCH(QString, friday);
    QLocale::setDefault(locale);
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command1"));
    QWidget& form1 = m_f->screens.Form1();
    GuiFixture::fillWorkedPassage(form1, locale);
    GuiFixture::click(form1, QStringLiteral("Command1"));
    QVERIFY(m_f->messages.empty());
    QCOMPARE(GuiFixture::visible(), QStringLiteral("Form1,Form2"));

    QWidget& form2 = m_f->screens.Form2();
    const QString point = locale.decimalPoint();
    QCOMPARE(GuiFixture::text(form2, QStringLiteral("Speed_0")),
             QStringLiteral(" 10") + point + QStringLiteral("00"));
    QCOMPARE(GuiFixture::text(form2, QStringLiteral("ETADay_0")), friday);
    QCOMPARE(GuiFixture::text(form2, QStringLiteral("ETADate_0")), QStringLiteral(" 01-03-2002 21:00"));
    QCOMPARE(GuiFixture::text(form2, QStringLiteral("ETADate_3")), QStringLiteral(" 01-03-2002 13:48"));
    QCOMPARE(GuiFixture::text(form2, QStringLiteral("Speed_10")),
             QStringLiteral(" 60") + point + QStringLiteral("00"));
    QCOMPARE(GuiFixture::text(form2, QStringLiteral("Text1")), QStringLiteral("01-03-2002 08:00"));
    QCOMPARE(GuiFixture::text(form2, QStringLiteral("Text2")),
             QStringLiteral("120") + point + QStringLiteral("00"));
    QCOMPARE(GuiFixture::text(form2, QStringLiteral("Text3")), QStringLiteral("0"));
    QCOMPARE(GuiFixture::text(form2, QStringLiteral("Text4")), QStringLiteral("1"));

    // The boxes are ordinary text boxes: the user may type in them.
    auto* cell = GuiFixture::child<QLineEdit>(form2, QStringLiteral("ETADay_5"));
    QVERIFY(cell->isEnabled() && !cell->isReadOnly());
}

void TestCalculators::etaResultsInitialTexts() {
    QWidget& form2 = m_f->screens.Form2();
    const int blanks[EtaRowCount] = {0, 8, 12, 21, 10, 32, 17, 13, 10, 17, 14};
    for (int i = 0; i < EtaRowCount; ++i) {
        QCOMPARE(GuiFixture::text(form2, QStringLiteral("ETADate_%1").arg(i)), QString(blanks[i], u' '));
        QCOMPARE(GuiFixture::text(form2, QStringLiteral("Speed_%1").arg(i)), QString());
    }
    QCOMPARE(GuiFixture::child<QLabel>(form2, QStringLiteral("Label2"))->text(),
             QStringLiteral(" ETA Dag") + QString(22, u' ') + QStringLiteral("Datum - Tijd"));
    QCOMPARE(GuiFixture::child<QWidget>(form2, QStringLiteral("ETADate_1"))->geometry(),
             QRect(240, 78, 129, 28));
    QCOMPARE(GuiFixture::child<QWidget>(form2, QStringLiteral("Speed_9"))->geometry(), QRect(8, 386, 81, 25));
}

void TestCalculators::etaDateLineSurvivesMenu() {
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command1"));
    QWidget& form1 = m_f->screens.Form1();
    GuiFixture::fillWorkedPassage(form1, QLocale::c());
    GuiFixture::click(form1, QStringLiteral("Option2"));
    GuiFixture::click(form1, QStringLiteral("Command3"));
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command1"));
    GuiFixture::click(form1, QStringLiteral("Command1"));
    QWidget& form2 = m_f->screens.Form2();
    QCOMPARE(GuiFixture::text(form2, QStringLiteral("ETADate_0")), QStringLiteral(" 02-03-2002 21:00"));
    QCOMPARE(GuiFixture::text(form2, QStringLiteral("Text3")), QStringLiteral("24"));
    // A second click with nothing changed rewrites the same table.
    const QStringList first = resultTexts(form2);
    GuiFixture::click(form1, QStringLiteral("Command1"));
    QCOMPARE(resultTexts(form2), first);
}

void TestCalculators::etaFailureChangesNothing_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus");
    QTest::newRow("speed 0 fails in row 0") << "Vaart"
                                            << "0"
                                            << "Vaart";
    QTest::newRow("step reaches 0 in a later row") << "VVers"
                                                   << "-2.5"
                                                   << "VVers";
    QTest::newRow("empty distance") << "Dist"
                                    << ""
                                    << "Dist";
    QTest::newRow("clock time overflow") << "STime"
                                         << "547"
                                         << "STime";
    QTest::newRow("arrival past the year 9999") << "TimeDiff"
                                                << "80000000"
                                                << "";
}

void TestCalculators::etaFailureChangesNothing() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command1"));
    QWidget& form1 = m_f->screens.Form1();
    GuiFixture::fillWorkedPassage(form1, QLocale::c());
    GuiFixture::click(form1, QStringLiteral("Command1"));
    QWidget& form2 = m_f->screens.Form2();
    GuiFixture::click(form2, QStringLiteral("Command1")); // "Nieuwe Berekening"
    QCOMPARE(GuiFixture::visible(), QStringLiteral("Form1"));
    const QStringList before = resultTexts(form2);

    GuiFixture::type(form1, QStringLiteral("Dist"), QStringLiteral("240")); // would change every row
    GuiFixture::type(form1, field, text);
    QApplication::setActiveWindow(&form1);
    GuiFixture::click(form1, QStringLiteral("Command1"));
    QCOMPARE(m_f->messages.size(), size_t(1));
    QCOMPARE(resultTexts(form2), before);
    QCOMPARE(GuiFixture::visible(), QStringLiteral("Form1"));
    QCOMPARE(GuiFixture::text(form1, field), text);
    if (!focus.isEmpty())
        QCOMPARE(QApplication::focusWidget(), GuiFixture::child<QWidget>(form1, focus));
}

void TestCalculators::etaFirstFailureCreatesNoResults() {
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command1"));
    QWidget& form1 = m_f->screens.Form1();
    GuiFixture::fillWorkedPassage(form1, QLocale::c());
    GuiFixture::type(form1, QStringLiteral("Vaart"), QStringLiteral("0"));
    GuiFixture::click(form1, QStringLiteral("Command1"));
    QCOMPARE(m_f->messages.size(), size_t(1));
    QVERIFY2(m_f->messages[0].text.contains(u"0 knopen"), qPrintable(m_f->messages[0].text));
    for (const QWidget* window : QApplication::topLevelWidgets())
        QVERIFY(window->objectName() != u"Form2");
}

void TestCalculators::etaResultNavigation() {
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command3")); // About stays open throughout
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command1"));
    QWidget& form1 = m_f->screens.Form1();
    GuiFixture::fillWorkedPassage(form1, QLocale::c());
    GuiFixture::click(form1, QStringLiteral("Command1"));
    QWidget& form2 = m_f->screens.Form2();
    QCOMPARE(GuiFixture::visible(), QStringLiteral("Form1,Form2,frmAbout"));
    GuiFixture::click(form2, QStringLiteral("Command3")); // MENU
    QCOMPARE(GuiFixture::visible(), QStringLiteral("Form1,Start,frmAbout"));
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command2"));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("Form1,Form3,frmAbout"));
    GuiFixture::click(form1, QStringLiteral("Command1"));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("Form1,Form2,Form3,frmAbout"));
    GuiFixture::click(form2, QStringLiteral("Command4")); // Einde Programma
    QCOMPARE(m_f->ended, 1);
    QCOMPARE(GuiFixture::visible(), QString());
}

void TestCalculators::speedWorkedExample_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("shown");
    QTest::newRow("C locale") << QLocale::c() << "10.16";
    QTest::newRow("Dutch locale") << dutch << "10,16";
}

void TestCalculators::speedWorkedExample() {
    QFETCH(QLocale, locale);
    QFETCH(QString, shown);
    QLocale::setDefault(locale);
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command2"));
    SpeedCalculator& form3 = m_f->screens.Form3();
    GuiFixture::fillWorkedSpeed(form3, QLocale::c());
    GuiFixture::click(form3, QStringLiteral("Command1"));
    QVERIFY(m_f->messages.empty());
    QCOMPARE(GuiFixture::text(form3, QStringLiteral("Text1")), shown);
    const SpeedResult& result = form3.lastCalculation();
    QCOMPARE(result.steamingHours, 29.5);
    QCOMPARE(result.averageSpeed, 10.16);
    QCOMPARE(result.departure, DateTime::fromDate(QDate(2026, 12, 6), 8, 0));
    QCOMPARE(result.arrival, DateTime::fromDate(QDate(2026, 12, 7), 14, 30));
    QCOMPARE(result.timeDiffText, QStringLiteral("1"));
}

void TestCalculators::speedFailureChangesNothing_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("departure equals arrival") << "ATime"
                                              << "09.00";
    QTest::newRow("empty STime") << "STime"
                                 << "";
    QTest::newRow("letters in ATime") << "ATime"
                                      << "laat";
    QTest::newRow("blank TimeDiff") << "TimeDiff"
                                    << "  ";
    QTest::newRow("non-numeric Dist") << "Dist"
                                      << "1.000,5";
}

void TestCalculators::speedFailureChangesNothing() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command2"));
    SpeedCalculator& form3 = m_f->screens.Form3();
    GuiFixture::fillWorkedSpeed(form3, QLocale::c());
    GuiFixture::click(form3, QStringLiteral("Command1"));
    const SpeedResult before = form3.lastCalculation();

    // Same day 08.00 to 09.00 with a time difference of 1: zero steaming hours.
    GuiFixture::child<DatePicker>(form3, QStringLiteral("ADate"))->setDate(QDate(2026, 12, 6));
    GuiFixture::click(form3, QStringLiteral("Option2"));
    GuiFixture::click(form3, QStringLiteral("Option1"));
    GuiFixture::type(form3, field, text);
    GuiFixture::click(form3, QStringLiteral("Command1"));
    QCOMPARE(m_f->messages.size(), size_t(1));
    QCOMPARE(GuiFixture::text(form3, QStringLiteral("Text1")), QStringLiteral("10.16"));
    const SpeedResult& after = form3.lastCalculation();
    QCOMPARE(after.departure, before.departure);
    QCOMPARE(after.arrival, before.arrival);
    QCOMPARE(after.steamingHours, before.steamingHours);
    QCOMPARE(after.averageSpeed, before.averageSpeed);
    QCOMPARE(GuiFixture::text(form3, field), text);
}

void TestCalculators::speedStateSurvivesMenu() {
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command2"));
    SpeedCalculator& form3 = m_f->screens.Form3();
    GuiFixture::fillWorkedSpeed(form3, QLocale::c());
    GuiFixture::click(form3, QStringLiteral("Option3"));
    GuiFixture::click(form3, QStringLiteral("Command1"));
    GuiFixture::click(form3, QStringLiteral("Command3"));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("Start"));
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command2"));
    QCOMPARE(GuiFixture::text(form3, QStringLiteral("Text1")), QStringLiteral("5.60")); // 300 / 53.5
    QCOMPARE(form3.DateLineCorrection(), -24.0);
    QCOMPARE(form3.lastCalculation().dateLineCorrection, -24.0);
    QCOMPARE(GuiFixture::child<DatePicker>(form3, QStringLiteral("ADate"))->date(), QDate(2026, 12, 7));
    QVERIFY(GuiFixture::child<QRadioButton>(form3, QStringLiteral("Option3"))->isChecked());
}

void TestCalculators::badInputNeverLosesTyping() {
    const QStringList inputs{QString(),
                             QStringLiteral("   "),
                             QStringLiteral("abc"),
                             QStringLiteral("14.30"),
                             QStringLiteral("14,30"),
                             QStringLiteral("1.000,5"),
                             QStringLiteral("99999999999999999999"),
                             QStringLiteral("1e308"),
                             QStringLiteral("NaN"),
                             QStringLiteral("-"),
                             QString(5000, u'9')};
    struct Screen {
        QWidget* window;
        QStringList fields;
        QString button;
    };
    GuiFixture::click(m_f->screens.Start(), QStringLiteral("Command1"));
    const Screen screens[] = {
        {&m_f->screens.Form1(),
         {QStringLiteral("STime"), QStringLiteral("TimeDiff"), QStringLiteral("Dist"),
          QStringLiteral("Vaart"), QStringLiteral("VVers")},
         QStringLiteral("Command1")},
        {&m_f->screens.Form3(),
         {QStringLiteral("STime"), QStringLiteral("ATime"), QStringLiteral("TimeDiff"),
          QStringLiteral("Dist")},
         QStringLiteral("Command1")},
    };
    int cases = 0;
    for (const QLocale& locale : {QLocale::c(), dutch}) {
        QLocale::setDefault(locale);
        for (const Screen& screen : screens) {
            for (const QString& field : screen.fields) {
                for (const QString& input : inputs) {
                    if (screen.window == &m_f->screens.Form1())
                        GuiFixture::fillWorkedPassage(*screen.window, QLocale::c());
                    else
                        GuiFixture::fillWorkedSpeed(*screen.window, QLocale::c());
                    GuiFixture::type(*screen.window, field, input);
                    const size_t messagesBefore = m_f->messages.size();
                    GuiFixture::click(*screen.window, screen.button);
                    // Either it computed, or it said why in Dutch; the typing is always kept.
                    QVERIFY(m_f->messages.size() <= messagesBefore + 1);
                    if (m_f->messages.size() > messagesBefore)
                        QVERIFY(m_f->messages.back().text.contains(u"Verwacht") ||
                                m_f->messages.back().text.contains(u"te groot") ||
                                m_f->messages.back().text.contains(u"bereik") ||
                                m_f->messages.back().text.contains(u"0 "));
                    QCOMPARE(GuiFixture::text(*screen.window, field), input);
                    ++cases;
                }
            }
        }
    }
    QCOMPARE(cases, 2 * (5 + 4) * 11);
}

QTEST_MAIN(TestCalculators)
#include "tst_calculators.moc"
