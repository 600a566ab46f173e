#include "AccessibleEvents.h"
#include "GuiFixture.h"

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QClipboard>
#include <QLabel>
#include <QRadioButton>

using namespace kw;

namespace {

const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);

QStringList resultTexts(const EtaResults& screen) {
    const auto& c = screen.controls();
    QStringList texts;
    for (int i = 0; i < EtaRowCount; ++i)
        texts << c.speed[i]->text() << c.etaDay[i]->text() << c.etaDate[i]->text();
    texts << c.departure->text() << c.distance->text() << c.dateLine->text() << c.timeDifference->text();
    return texts;
}

// The typed fields of the two calculators by role.
using Fields = std::initializer_list<std::pair<const char*, QLineEdit*>>;

QLineEdit* fieldNamed(Fields fields, const QString& role) {
    for (const auto& [name, field] : fields) {
        if (role == QLatin1String(name))
            return field;
    }
    return nullptr;
}

QLineEdit* etaField(const EtaCalculator& screen, const QString& role) {
    const auto& c = screen.controls();
    return fieldNamed({{"departureTime", c.departureTime},
                       {"timeDifference", c.timeDifference},
                       {"distance", c.distance},
                       {"startSpeed", c.startSpeed},
                       {"speedStep", c.speedStep}},
                      role);
}

QLineEdit* speedField(const SpeedCalculator& screen, const QString& role) {
    const auto& c = screen.controls();
    return fieldNamed({{"departureTime", c.departureTime},
                       {"arrivalTime", c.arrivalTime},
                       {"timeDifference", c.timeDifference},
                       {"distance", c.distance}},
                      role);
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
    void pickerShowsTheDateItCalculatesWith_data();
    void pickerShowsTheDateItCalculatesWith();
    void copiesTheEtaTable_data();
    void copiesTheEtaTable();
    void copiesTheLastSpeedCalculation_data();
    void copiesTheLastSpeedCalculation();
    void copyKeyInAField_data();
    void copyKeyInAField();
    void resultsAreAnnounced();

private:
    std::unique_ptr<GuiFixture> m_f;
};

void TestCalculators::init() {
    QLocale::setDefault(QLocale::c());
    m_f = std::make_unique<GuiFixture>();
    m_f->screens.menu().showCentred();
}

void TestCalculators::cleanup() {
    QLocale::setDefault(QLocale::c());
}

void TestCalculators::pickersStartAtToday() {
    // The screens are made below: today, or tomorrow should midnight pass meanwhile.
    const QDate today = QDate::currentDate();
    const auto isToday = [&today](DatePicker* picker) {
        return picker->value() == DateTime::fromDate(today) ||
               picker->value() == DateTime::fromDate(today.addDays(1));
    };
    DatePicker* sail = m_f->screens.etaCalculator().controls().sailDate;
    QVERIFY(isToday(sail));
    QCOMPARE(sail->displayFormat(), QStringLiteral("dd-MM-yyyy"));
    QVERIFY(sail->calendarPopup());
    QCOMPARE(sail->minimumDate(), QDate(2000, 1, 1));
    QCOMPARE(sail->maximumDate(), QDate(9999, 12, 31));
    const auto& speed = m_f->screens.speedCalculator().controls();
    for (DatePicker* picker : {speed.departureDate, speed.arrivalDate})
        QVERIFY(isToday(picker));
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
    m_f->run(QStringLiteral("menu.etaCalculator"));
    GuiFixture::fillWorkedPassage(m_f->screens.etaCalculator(), locale);
    m_f->run(QStringLiteral("etaCalculator.calculate"));
    QVERIFY(m_f->messages.empty());
    QCOMPARE(GuiFixture::visible(), QStringLiteral("etaCalculator,etaResults"));

    const auto& results = m_f->screens.etaResults().controls();
    const QString point = locale.decimalPoint();
    QCOMPARE(results.speed[0]->text(), QStringLiteral(" 10") + point + QStringLiteral("00"));
    QCOMPARE(results.etaDay[0]->text(), friday);
    QCOMPARE(results.etaDate[0]->text(), QStringLiteral(" 01-03-2002 21:00"));
    QCOMPARE(results.etaDate[3]->text(), QStringLiteral(" 01-03-2002 13:48"));
    QCOMPARE(results.speed[10]->text(), QStringLiteral(" 60") + point + QStringLiteral("00"));
    QCOMPARE(results.departure->text(), QStringLiteral("01-03-2002 08:00"));
    QCOMPARE(results.distance->text(), QStringLiteral("120") + point + QStringLiteral("00"));
    QCOMPARE(results.dateLine->text(), QStringLiteral("0"));
    QCOMPARE(results.timeDifference->text(), QStringLiteral("1"));

    // The boxes are ordinary text boxes: the user may type in them.
    QVERIFY(results.etaDay[5]->isEnabled() && !results.etaDay[5]->isReadOnly());
}

void TestCalculators::etaResultsInitialTexts() {
    // Before any calculation the rows hold no speed and no date, only the layout's blank runs.
    const auto& results = m_f->screens.etaResults().controls();
    for (int i = 0; i < EtaRowCount; ++i) {
        QCOMPARE(results.etaDate[i]->text().trimmed(), QString());
        QCOMPARE(results.speed[i]->text(), QString());
        QCOMPARE(results.etaDay[i]->text(), QString());
    }
}

void TestCalculators::etaDateLineSurvivesMenu() {
    m_f->run(QStringLiteral("menu.etaCalculator"));
    GuiFixture::fillWorkedPassage(m_f->screens.etaCalculator(), QLocale::c());
    m_f->run(QStringLiteral("etaCalculator.dateLineDayForward etaCalculator.menu menu.etaCalculator "
                            "etaCalculator.calculate"));
    const EtaResults& results = m_f->screens.etaResults();
    QCOMPARE(results.controls().etaDate[0]->text(), QStringLiteral(" 02-03-2002 21:00"));
    QCOMPARE(results.controls().dateLine->text(), QStringLiteral("24"));
    // A second click with nothing changed rewrites the same table.
    const QStringList first = resultTexts(results);
    m_f->run(QStringLiteral("etaCalculator.calculate"));
    QCOMPARE(resultTexts(results), first);
}

void TestCalculators::etaFailureChangesNothing_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("focused");
    QTest::newRow("speed 0 fails in row 0") << "startSpeed"
                                            << "0" << true;
    QTest::newRow("step reaches 0 in a later row") << "speedStep"
                                                   << "-2.5" << true;
    QTest::newRow("empty distance") << "distance"
                                    << "" << true;
    QTest::newRow("clock time overflow") << "departureTime"
                                         << "547" << true;
    QTest::newRow("arrival past the year 9999") << "timeDifference"
                                                << "80000000" << false;
}

void TestCalculators::etaFailureChangesNothing() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, focused);
    m_f->run(QStringLiteral("menu.etaCalculator"));
    EtaCalculator& form = m_f->screens.etaCalculator();
    GuiFixture::fillWorkedPassage(form, QLocale::c());
    m_f->run(QStringLiteral("etaCalculator.calculate etaResults.newCalculation"));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("etaCalculator"));
    const QStringList before = resultTexts(m_f->screens.etaResults());

    form.controls().distance->setText(QStringLiteral("240")); // would change every row
    etaField(form, field)->setText(text);
    QApplication::setActiveWindow(&form);
    m_f->run(QStringLiteral("etaCalculator.calculate"));
    QCOMPARE(m_f->messages.size(), size_t(1));
    QCOMPARE(resultTexts(m_f->screens.etaResults()), before);
    QCOMPARE(GuiFixture::visible(), QStringLiteral("etaCalculator"));
    QCOMPARE(etaField(form, field)->text(), text);
    if (focused)
        QCOMPARE(QApplication::focusWidget(), etaField(form, field));
}

void TestCalculators::etaFirstFailureCreatesNoResults() {
    m_f->run(QStringLiteral("menu.etaCalculator"));
    EtaCalculator& form = m_f->screens.etaCalculator();
    GuiFixture::fillWorkedPassage(form, QLocale::c());
    form.controls().startSpeed->setText(QStringLiteral("0"));
    m_f->run(QStringLiteral("etaCalculator.calculate"));
    QCOMPARE(m_f->messages.size(), size_t(1));
    QVERIFY2(m_f->messages[0].text.contains(u"0 knopen"), qPrintable(m_f->messages[0].text));
    for (const QWidget* window : QApplication::topLevelWidgets())
        QVERIFY(qobject_cast<const EtaResults*>(window) == nullptr);
}

void TestCalculators::etaResultNavigation() {
    m_f->run(QStringLiteral("menu.about menu.etaCalculator")); // About stays open throughout
    GuiFixture::fillWorkedPassage(m_f->screens.etaCalculator(), QLocale::c());
    m_f->run(QStringLiteral("etaCalculator.calculate"));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("etaCalculator,etaResults,about"));
    m_f->run(QStringLiteral("etaResults.menu"));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("menu,etaCalculator,about"));
    m_f->run(QStringLiteral("menu.speedCalculator"));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("etaCalculator,speedCalculator,about"));
    m_f->run(QStringLiteral("etaCalculator.calculate"));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("etaCalculator,etaResults,speedCalculator,about"));
    m_f->run(QStringLiteral("etaResults.endProgram"));
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
    m_f->run(QStringLiteral("menu.speedCalculator"));
    SpeedCalculator& form3 = m_f->screens.speedCalculator();
    GuiFixture::fillWorkedSpeed(form3, QLocale::c());
    m_f->run(QStringLiteral("speedCalculator.calculate"));
    QVERIFY(m_f->messages.empty());
    QCOMPARE(form3.controls().averageSpeed->text(), shown);
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
    QTest::newRow("departure equals arrival") << "arrivalTime"
                                              << "09.00";
    QTest::newRow("empty departure time") << "departureTime"
                                          << "";
    QTest::newRow("letters in the arrival time") << "arrivalTime"
                                                 << "laat";
    QTest::newRow("blank time difference") << "timeDifference"
                                           << "  ";
    QTest::newRow("non-numeric distance") << "distance"
                                          << "1.000,5";
}

void TestCalculators::speedFailureChangesNothing() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    m_f->run(QStringLiteral("menu.speedCalculator"));
    SpeedCalculator& form3 = m_f->screens.speedCalculator();
    GuiFixture::fillWorkedSpeed(form3, QLocale::c());
    m_f->run(QStringLiteral("speedCalculator.calculate"));
    const SpeedResult before = form3.lastCalculation();

    // Same day 08.00 to 09.00 with a time difference of 1: zero steaming hours.
    form3.controls().arrivalDate->setDate(QDate(2026, 12, 6));
    m_f->run(QStringLiteral("speedCalculator.dateLineDayForward speedCalculator.noDateLine"));
    speedField(form3, field)->setText(text);
    m_f->run(QStringLiteral("speedCalculator.calculate"));
    QCOMPARE(m_f->messages.size(), size_t(1));
    QCOMPARE(form3.controls().averageSpeed->text(), QStringLiteral("10.16"));
    const SpeedResult& after = form3.lastCalculation();
    QCOMPARE(after.departure, before.departure);
    QCOMPARE(after.arrival, before.arrival);
    QCOMPARE(after.steamingHours, before.steamingHours);
    QCOMPARE(after.averageSpeed, before.averageSpeed);
    QCOMPARE(speedField(form3, field)->text(), text);
}

void TestCalculators::speedStateSurvivesMenu() {
    m_f->run(QStringLiteral("menu.speedCalculator"));
    SpeedCalculator& form3 = m_f->screens.speedCalculator();
    GuiFixture::fillWorkedSpeed(form3, QLocale::c());
    m_f->run(
        QStringLiteral("speedCalculator.dateLineDayBack speedCalculator.calculate speedCalculator.menu"));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("menu"));
    m_f->run(QStringLiteral("menu.speedCalculator"));
    QCOMPARE(form3.controls().averageSpeed->text(), QStringLiteral("5.60")); // 300 / 53.5
    QCOMPARE(form3.dateLine(), DateLine::DayBack);
    QCOMPARE(form3.lastCalculation().dateLine, DateLine::DayBack);
    QCOMPARE(form3.controls().arrivalDate->date(), QDate(2026, 12, 7));
    QVERIFY(form3.controls().dateLineDayBack->isChecked());
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
    m_f->run(QStringLiteral("menu.etaCalculator"));
    EtaCalculator& eta = m_f->screens.etaCalculator();
    SpeedCalculator& speed = m_f->screens.speedCalculator();
    const auto& e = eta.controls();
    const auto& v = speed.controls();
    struct Screen {
        QWidget* window;
        std::vector<QLineEdit*> fields;
        QAbstractButton* calculate;
    };
    const Screen screens[] = {
        {&eta, {e.departureTime, e.timeDifference, e.distance, e.startSpeed, e.speedStep}, e.calculate},
        {&speed, {v.departureTime, v.arrivalTime, v.timeDifference, v.distance}, v.calculate},
    };
    int cases = 0;
    for (const QLocale& locale : {QLocale::c(), dutch}) {
        QLocale::setDefault(locale);
        for (const Screen& screen : screens) {
            for (QLineEdit* field : screen.fields) {
                for (const QString& input : inputs) {
                    if (screen.window == &eta)
                        GuiFixture::fillWorkedPassage(eta, QLocale::c());
                    else
                        GuiFixture::fillWorkedSpeed(speed, QLocale::c());
                    field->setText(input);
                    const size_t messagesBefore = m_f->messages.size();
                    GuiFixture::click(screen.calculate);
                    // Either it computed, or it said why in Dutch; the typing is always kept.
                    QVERIFY(m_f->messages.size() <= messagesBefore + 1);
                    if (m_f->messages.size() > messagesBefore)
                        QVERIFY(m_f->messages.back().text.contains(u"Verwacht") ||
                                m_f->messages.back().text.contains(u"te groot") ||
                                m_f->messages.back().text.contains(u"bereik") ||
                                m_f->messages.back().text.contains(u"0 "));
                    QCOMPARE(field->text(), input);
                    ++cases;
                }
            }
        }
    }
    QCOMPARE(cases, 2 * (5 + 4) * 11);
}

void TestCalculators::pickerShowsTheDateItCalculatesWith_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("a new value for its line edit") << "value";
    QTest::newRow("replacing its text") << "replace";
    QTest::newRow("deleting its text, then inserting") << "delete and insert";
}

// A screen reader or test robot sets the picker's text through the accessibility interface, which
// bypasses the picker's own checks. Whatever it sets, the picker may refuse it or correct it, but
// what it shows is always the date the calculation then uses.
void TestCalculators::pickerShowsTheDateItCalculatesWith() {
    QFETCH(QString, how);
    m_f->run(QStringLiteral("menu.etaCalculator"));
    EtaCalculator& form = m_f->screens.etaCalculator();
    GuiFixture::fillWorkedPassage(form, QLocale::c());
    DatePicker* picker = form.controls().sailDate;
    QAccessibleInterface* pickerAccess = QAccessible::queryAccessibleInterface(picker);
    QVERIFY(pickerAccess && pickerAccess->editableTextInterface());
    QAccessibleInterface* edit = QAccessible::queryAccessibleInterface(picker->findChild<QLineEdit*>());
    QVERIFY(edit);
    const QString texts[] = {QStringLiteral("abc"),
                             QString(),
                             QStringLiteral("01-01-1999"),
                             QStringLiteral("01-01-10000"),
                             QStringLiteral("\u0660\u0666-\u0661\u0662-\u0662\u0660\u0662\u0666"),
                             QStringLiteral("31-02-2029"),
                             QStringLiteral("06-12-2026")};
    for (const QString& text : texts) {
        QAccessibleEditableTextInterface* editable = pickerAccess->editableTextInterface();
        const int length = int(picker->text().size());
        if (how == u"value") {
            edit->setText(QAccessible::Value, text);
        } else if (how == u"replace") {
            editable->replaceText(0, length, text);
        } else {
            editable->deleteText(0, length);
            editable->insertText(0, text);
        }
        QCoreApplication::processEvents(); // as between a screen reader's change and the next click
        const QString shown = picker->findChild<QLineEdit*>()->text();
        QCOMPARE(shown, picker->date().toString(QStringLiteral("dd-MM-yyyy")));
        QVERIFY(picker->date() >= QDate(2000, 1, 1) && picker->date() <= QDate(9999, 12, 31));
        m_f->run(QStringLiteral("etaCalculator.calculate"));
        QCOMPARE(m_f->screens.etaResults().controls().departure->text(), shown + QStringLiteral(" 08:00"));
    }
    // Replaced whole, a date in range is taken as it stands, also after a 31 February.
    if (how == u"replace")
        QCOMPARE(picker->date(), QDate(2026, 12, 6));
    QVERIFY(m_f->messages.empty());
}

namespace {

// The platform's copy key, pressed where the focus is on `window`, which is brought up first:
// the key is the active window's.
QString copyOn(QWidget& window, QWidget* focus) {
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        return QStringLiteral("(window not active)");
    if (focus != nullptr)
        focus->setFocus(Qt::TabFocusReason);
    QGuiApplication::clipboard()->setText(QStringLiteral("(as before)"));
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Copy);
    return QGuiApplication::clipboard()->text();
}

} // namespace

void TestCalculators::copiesTheEtaTable_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("friday");
    QTest::newRow("Dutch locale") << dutch << "vrijdag";
    QTest::newRow("C locale") << QLocale::c() << "Friday";
}

void TestCalculators::copiesTheEtaTable() {
    QFETCH(QLocale, locale);
    QFETCH(QString, friday);
    QLocale::setDefault(locale);
    m_f->run(QStringLiteral("menu.etaCalculator"));
    GuiFixture::fillWorkedPassage(m_f->screens.etaCalculator(), locale);
    m_f->run(QStringLiteral("etaCalculator.calculate"));
    EtaResults& results = m_f->screens.etaResults();
    const auto& c = results.controls();
    // What the officer typed over the result is what the screen shows, so it is what is copied.
    c.etaDate[10]->setText(QStringLiteral(" 01-03-2002 11:05"));
    QString expected = QStringLiteral("Speed\tETA Dag\tDatum - Tijd\n");
    const char* arrivals[] = {"21:00", "17:00", "15:00", "13:48", "13:00", "12:26",
                              "12:00", "11:40", "11:24", "11:11", "11:05"};
    for (int i = 0; i < EtaRowCount; ++i)
        expected += QStringLiteral("%1%2%3\t%4\t01-03-2002 %5\n")
                        .arg(10 + 5 * i)
                        .arg(locale.decimalPoint(), QStringLiteral("00"), friday, QLatin1String(arrivals[i]));
    expected += QStringLiteral("\nVertrek Datum en Tijd\t01-03-2002 08:00\n"
                               "Afstand in Mijlen\t120%1%2\n"
                               "Datumgrens Correctie\t0\n"
                               "Tijdsverschil\t1\n")
                    .arg(locale.decimalPoint(), QStringLiteral("00"));
    QCOMPARE(copyOn(results, c.print), expected);
    QVERIFY(m_f->messages.empty());
}

void TestCalculators::copiesTheLastSpeedCalculation_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("Dutch locale") << dutch;
    QTest::newRow("C locale") << QLocale::c();
}

void TestCalculators::copiesTheLastSpeedCalculation() {
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    m_f->run(QStringLiteral("menu.speedCalculator"));
    SpeedCalculator& form3 = m_f->screens.speedCalculator();
    const auto& c = form3.controls();
    // Before the first calculation the key does nothing, and says nothing, also where the screen
    // opens: in the date picker, which has a part of its date selected.
    for (QWidget* focus : {static_cast<QWidget*>(c.departureDate), static_cast<QWidget*>(c.calculate)})
        QCOMPARE(copyOn(form3, focus), QStringLiteral("(as before)"));
    GuiFixture::fillWorkedSpeed(form3, locale);
    c.timeDifference->setText(QStringLiteral("-1"));
    c.noDateLine->setChecked(false);
    m_f->run(QStringLiteral("speedCalculator.dateLineDayBack speedCalculator.calculate"));
    // Inputs changed after it, and a calculation that fails, leave the copied one as it was.
    c.distance->setText(QStringLiteral("301"));
    c.timeDifference->setText(QStringLiteral("0"));
    m_f->run(QStringLiteral("speedCalculator.noDateLine"));
    c.arrivalTime->setText(QStringLiteral("laat"));
    m_f->run(QStringLiteral("speedCalculator.calculate"));
    QCOMPARE(m_f->messages.size(), size_t(1));
    m_f->messages.clear();
    // 30.5 hours on the clocks, +1 for the zones, +24 for the date line: 55.5 hours, 5.40 knots.
    const QString expected = QStringLiteral("Vertrek datum en tijd\t06-12-2026 08:00\n"
                                            "Aankomst datum en tijd\t07-12-2026 14:30\n"
                                            "Tijdsverschil\t-1\n"
                                            "Datumgrens Correctie\t-24\n"
                                            "Afstand\t300\n"
                                            "Stoom tijd\t55:30\n"
                                            "Gemiddelde Snelheid\t5%1%2\n")
                                 .arg(locale.decimalPoint(), QStringLiteral("40"));
    QCOMPARE(copyOn(form3, c.dateLineDayForward), expected);
    // Typed numbers in the locale's separator, as the results; minutes in two digits.
    c.arrivalDate->setDate(c.departureDate->date());
    c.arrivalTime->setText(QStringLiteral("10.05"));
    c.distance->setText(QStringLiteral("12.5"));
    c.timeDifference->setText(QStringLiteral("0.0"));
    m_f->run(QStringLiteral("speedCalculator.calculate"));
    const QString copied = copyOn(form3, c.calculate);
    for (const QString& line :
         {QStringLiteral("Stoom tijd\t2:05"), QStringLiteral("Afstand\t12") + locale.decimalPoint() + u'5',
          QStringLiteral("Tijdsverschil\t0") + locale.decimalPoint() + u'0'})
        QVERIFY2(copied.contains(line + u'\n'), qPrintable(copied));
    QVERIFY(m_f->messages.empty());
}

void TestCalculators::copyKeyInAField_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<bool>("selected");
    QTest::newRow("result cell, part selected") << "etaResults" << true;
    QTest::newRow("result cell, nothing selected") << "etaResults" << false;
    QTest::newRow("typed field, part selected") << "speedCalculator" << true;
    QTest::newRow("typed field, nothing selected") << "speedCalculator" << false;
    // A date picker selects a part of its date by itself: that is no selection of the user's.
    QTest::newRow("date picker, selected by the user") << "speedCalculator.picker" << true;
    QTest::newRow("date picker, as the focus selects it") << "speedCalculator.picker" << false;
}

void TestCalculators::copyKeyInAField() {
    QFETCH(QString, screen);
    QFETCH(bool, selected);
    m_f->run(QStringLiteral("menu.etaCalculator"));
    GuiFixture::fillWorkedPassage(m_f->screens.etaCalculator(), QLocale::c());
    m_f->run(QStringLiteral("etaCalculator.calculate etaResults.menu menu.speedCalculator"));
    GuiFixture::fillWorkedSpeed(m_f->screens.speedCalculator(), QLocale::c());
    m_f->run(QStringLiteral("speedCalculator.calculate"));
    const bool results = screen == u"etaResults";
    QWidget& window = m_f->screen(results ? screen : QStringLiteral("speedCalculator"));
    m_f->screens.show(window);
    const auto& speed = m_f->screens.speedCalculator().controls();
    QWidget* focus = results                      ? m_f->screens.etaResults().controls().etaDate[3]
                     : screen.endsWith(u"picker") ? static_cast<QWidget*>(speed.departureDate)
                                                  : speed.distance;
    auto* field =
        qobject_cast<QLineEdit*>(focus) ? qobject_cast<QLineEdit*>(focus) : focus->findChild<QLineEdit*>();
    const QString whole =
        results ? m_f->screens.etaResults().copyText() : m_f->screens.speedCalculator().copyText();
    QVERIFY(whole.count(u'\n') > 5);
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    focus->setFocus(Qt::TabFocusReason);
    if (focus != field) {
        if (selected)
            QTest::keySequence(focus, QKeySequence::SelectAll);
    } else if (selected)
        field->setSelection(1, 2);
    else
        field->deselect();
    const QString selection = field->selectedText();
    QVERIFY(!selection.isEmpty() || (!selected && focus == field));
    const QString copied = copyOn(window, nullptr);
    QCOMPARE(QApplication::focusWidget(), focus);
    // A selection is the field's to copy, as anywhere; with none the key is the screen's.
    QCOMPARE(copied, selected ? selection : whole);
}

void TestCalculators::resultsAreAnnounced() {
    const AccessibleEvents events;
    SpeedCalculator& form3 = m_f->screens.speedCalculator();
    m_f->screens.show(form3);
    GuiFixture::fillWorkedSpeed(form3, QLocale::c());
    QLineEdit* speed = form3.controls().averageSpeed;
    QCOMPARE(QAccessible::queryAccessibleInterface(speed)->text(QAccessible::Name),
             QStringLiteral("Gemiddelde Snelheid"));
    // The same speed twice is said twice: the second click is news to a user who cannot see it.
    for (int i = 0; i < 2; ++i) {
        AccessibleEvents::heard().clear();
        m_f->run(QStringLiteral("speedCalculator.calculate"));
        const auto typed = [speed] {
            auto inserted = AccessibleEvents::about(speed, QAccessible::TextInserted);
            auto updated = AccessibleEvents::about(speed, QAccessible::TextUpdated);
            inserted.insert(inserted.end(), updated.begin(), updated.end());
            return inserted;
        }();
        QCOMPARE(typed.size(), size_t(1));
        QCOMPARE(typed[0].value, QStringLiteral("10.16"));
        QCOMPARE(typed[0].name, QStringLiteral("Gemiddelde Snelheid"));
#ifdef Q_OS_WIN
        const auto said = AccessibleEvents::about(speed, QAccessible::ValueChanged);
        QCOMPARE(said.size(), size_t(1));
        QCOMPARE(said[0].value, QStringLiteral("Gemiddelde Snelheid 10.16"));
#endif
    }

    // The results screen comes up as a window, with its caption, and the focus on the first speed.
    m_f->screens.show(m_f->screens.etaCalculator());
    QVERIFY(QTest::qWaitForWindowActive(&m_f->screens.etaCalculator()));
    GuiFixture::fillWorkedPassage(m_f->screens.etaCalculator(), QLocale::c());
    for (int i = 0; i < 2; ++i) {
        AccessibleEvents::heard().clear();
        m_f->run(QStringLiteral("etaCalculator.calculate"));
        EtaResults& results = m_f->screens.etaResults();
        QVERIFY(QTest::qWaitForWindowActive(&results));
        const auto activated = [&results] {
            std::vector<HeardEvent> found;
            for (const HeardEvent& event : AccessibleEvents::about(&results, QAccessible::StateChanged)) {
                if (event.activation)
                    found.push_back(event);
            }
            return found;
        }();
        QVERIFY(!activated.empty());
        QCOMPARE(activated[0].role, QAccessible::Window);
        QCOMPARE(activated[0].name, QStringLiteral("ETA Calculator Resultaten"));
        const auto focused = AccessibleEvents::about(results.controls().speed[0], QAccessible::Focus);
        QCOMPARE(focused.size(), size_t(1));
        QCOMPARE(focused[0].name, QStringLiteral("Speed"));
        QCOMPARE(focused[0].value, QStringLiteral(" 10.00"));
        // Back to the calculator, as "Nieuwe Berekening" goes, leaving the focus on that button.
        results.controls().newCalculation->setFocus();
        m_f->run(QStringLiteral("etaResults.newCalculation"));
        QVERIFY(QTest::qWaitForWindowActive(&m_f->screens.etaCalculator()));
    }
}

QTEST_MAIN(TestCalculators)
#include "tst_calculators.moc"
