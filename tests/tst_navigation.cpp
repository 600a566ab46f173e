#include "GuiFixture.h"

#include "about/AboutDialog.h"
#include "calc/EtaCalculator.h"
#include "calc/EtaResults.h"
#include "calc/SpeedCalculator.h"

#include <QLabel>
#include <QRadioButton>

using namespace kw;

namespace {

QWidget& screenNamed(Screens& screens, const QString& name) {
    if (name == u"Form1")
        return screens.Form1();
    if (name == u"Form2")
        return screens.Form2();
    if (name == u"Form3")
        return screens.Form3();
    if (name == u"frmAbout")
        return screens.frmAbout();
    return screens.Start();
}

// Runs "Screen.Button Screen.Button ..." from the main menu.
void run(GuiFixture& f, const QString& steps) {
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList parts = step.split(u'.');
        GuiFixture::click(screenNamed(f.screens, parts[0]), parts[1]);
    }
}

} // namespace

class TestNavigation final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void startsOnTheMainMenuAlone();
    void matrix_data();
    void matrix();
    void endProgram_data();
    void endProgram();
    void closeBox_data();
    void closeBox();
    void inputsSurviveNavigation();
    void screensAreSingleInstances();
    void aboutReopensFresh();
    void mainMenuLayout();
    void windowSettings_data();
    void windowSettings();
    void tabOrder_data();
    void tabOrder();
    void errorKeepsInputAndFocusesField();

private:
    std::unique_ptr<GuiFixture> m_f;
};

void TestNavigation::init() {
    QLocale::setDefault(QLocale::c());
    m_f = std::make_unique<GuiFixture>();
    m_f->screens.Start().showCentred();
}

void TestNavigation::startsOnTheMainMenuAlone() {
    QCOMPARE(GuiFixture::visible(), QStringLiteral("Start"));
    // Nothing but the menu is created at start.
    QCOMPARE(QApplication::topLevelWidgets().size(), 1);
}

void TestNavigation::matrix_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("visible");
    QTest::newRow("ETA Calculator") << "Start.Command1"
                                    << "Form1";
    QTest::newRow("Speed Calculator") << "Start.Command2"
                                      << "Form3";
    QTest::newRow("Koerswacht Info keeps the menu") << "Start.Command3"
                                                    << "Start,frmAbout";
    QTest::newRow("Form1 SpeedCalculator") << "Start.Command1 Form1.Command2"
                                           << "Form3";
    QTest::newRow("Form1 MENU") << "Start.Command1 Form1.Command3"
                                << "Start";
    QTest::newRow("Form3 ETA Calculator") << "Start.Command2 Form3.Command2"
                                          << "Form1";
    QTest::newRow("Form3 MENU") << "Start.Command2 Form3.Command3"
                                << "Start";
    QTest::newRow("About stays open while going on") << "Start.Command3 Start.Command1"
                                                     << "Form1,frmAbout";
    QTest::newRow("About OK") << "Start.Command3 frmAbout.cmdOK"
                              << "Start";
}

void TestNavigation::matrix() {
    QFETCH(QString, steps);
    QFETCH(QString, visible);
    run(*m_f, steps);
    QCOMPARE(GuiFixture::visible(), visible);
    QVERIFY(m_f->messages.empty());
}

void TestNavigation::endProgram_data() {
    QTest::addColumn<QString>("steps");
    QTest::newRow("from the menu") << "Start.Command4";
    QTest::newRow("from Form1") << "Start.Command1 Form1.Command4";
    QTest::newRow("from Form3") << "Start.Command2 Form3.Command5";
    QTest::newRow("with About open") << "Start.Command3 Start.Command2 Form3.Command5";
}

void TestNavigation::endProgram() {
    QFETCH(QString, steps);
    run(*m_f, steps);
    QCOMPARE(m_f->ended, 1);
    QCOMPARE(GuiFixture::visible(), QString());
}

void TestNavigation::closeBox_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("closed");
    QTest::addColumn<QString>("visible");
    QTest::addColumn<int>("ended");
    QTest::newRow("menu ends the program") << ""
                                           << "Start"
                                           << "" << 1;
    QTest::newRow("last calculator brings back the menu") << "Start.Command1"
                                                          << "Form1"
                                                          << "Start" << 0;
    QTest::newRow("speed calculator likewise") << "Start.Command2"
                                               << "Form3"
                                               << "Start" << 0;
    QTest::newRow("About is closed like OK") << "Start.Command3"
                                             << "frmAbout"
                                             << "Start" << 0;
    QTest::newRow("calculator with About open") << "Start.Command3 Start.Command1"
                                                << "Form1"
                                                << "frmAbout" << 0;
}

void TestNavigation::closeBox() {
    QFETCH(QString, steps);
    QFETCH(QString, closed);
    QFETCH(QString, visible);
    QFETCH(int, ended);
    run(*m_f, steps);
    screenNamed(m_f->screens, closed).close();
    QCOMPARE(GuiFixture::visible(), visible);
    QCOMPARE(m_f->ended, ended);
}

void TestNavigation::inputsSurviveNavigation() {
    run(*m_f, QStringLiteral("Start.Command1"));
    QWidget& form1 = m_f->screens.Form1();
    GuiFixture::type(form1, QStringLiteral("STime"), QStringLiteral("14.30"));
    GuiFixture::type(form1, QStringLiteral("Dist"), QStringLiteral("120"));
    GuiFixture::click(form1, QStringLiteral("Option3"));
    run(*m_f, QStringLiteral("Form1.Command3 Start.Command2"));
    QWidget& form3 = m_f->screens.Form3();
    GuiFixture::type(form3, QStringLiteral("ATime"), QStringLiteral("8.15"));
    run(*m_f, QStringLiteral("Form3.Command2"));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("Form1"));
    QCOMPARE(GuiFixture::text(form1, QStringLiteral("STime")), QStringLiteral("14.30"));
    QCOMPARE(GuiFixture::text(form1, QStringLiteral("Dist")), QStringLiteral("120"));
    QVERIFY(GuiFixture::child<QRadioButton>(form1, QStringLiteral("Option3"))->isChecked());
    QCOMPARE(m_f->screens.Form1().DateLineCorrection(), -24);
    run(*m_f, QStringLiteral("Form1.Command2"));
    QCOMPARE(GuiFixture::text(form3, QStringLiteral("ATime")), QStringLiteral("8.15"));
}

void TestNavigation::screensAreSingleInstances() {
    run(*m_f, QStringLiteral("Start.Command3"));
    QWidget* about = &m_f->screens.frmAbout();
    run(*m_f, QStringLiteral("Start.Command3"));
    QCOMPARE(&m_f->screens.frmAbout(), about);
    int aboutCount = 0;
    for (const QWidget* window : QApplication::topLevelWidgets())
        aboutCount += window->objectName() == u"frmAbout";
    QCOMPARE(aboutCount, 1);
    QCOMPARE(&m_f->screens.Form1(), &m_f->screens.Form1());
}

void TestNavigation::aboutReopensFresh() {
    run(*m_f, QStringLiteral("Start.Command3"));
    QVERIFY(m_f->screens.aboutLoaded());
    auto* title = GuiFixture::child<QLabel>(m_f->screens.frmAbout(), QStringLiteral("lblTitle"));
    title->setText(QStringLiteral("changed"));
    run(*m_f, QStringLiteral("frmAbout.cmdOK"));
    QVERIFY(!m_f->screens.aboutLoaded());
    run(*m_f, QStringLiteral("Start.Command3"));
    QWidget& about = m_f->screens.frmAbout();
    QCOMPARE(GuiFixture::child<QLabel>(about, QStringLiteral("lblTitle"))->text(),
             QStringLiteral("Koerswacht"));
    QCOMPARE(GuiFixture::child<QLabel>(about, QStringLiteral("lblVersion"))->text(),
             QStringLiteral("Version 6.3.0"));
    QCOMPARE(about.windowTitle(), QStringLiteral("About Koerswacht"));
}

void TestNavigation::mainMenuLayout() {
    QWidget& start = m_f->screens.Start();
    auto* title = GuiFixture::child<QLabel>(start, QStringLiteral("Label1"));
    QCOMPARE(title->text(), QStringLiteral("Havenlicht Koerswacht"));
    QCOMPARE(title->geometry(), QRect(8, 16, 617, 49));
    QCOMPARE(title->font().family(), QStringLiteral("Arial"));
    QCOMPARE(title->font().pointSizeF(), 27.75);
    QVERIFY(title->font().bold() && title->font().italic());
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(255, 128, 0));
    const QStringList captions{QStringLiteral("ETA Calculator"), QStringLiteral("Speed Calculator"),
                               QStringLiteral("Koerswacht Info"), QStringLiteral("Einde Programma")};
    for (int i = 0; i < 4; ++i) {
        auto* button = GuiFixture::child<QPushButton>(start, QStringLiteral("Command%1").arg(i + 1));
        QCOMPARE(button->text(), captions[i]);
        QCOMPARE(button->geometry(),
                 QRect(QPoint(std::lround((120 + i * 2480) / 15.0), 384), QSize(121, 33)));
        QCOMPARE(button->font().family(), QStringLiteral("Arial Narrow"));
        QCOMPARE(button->font().pointSizeF(), 11.25);
        QVERIFY(!button->isDefault() && button->toolTip().isEmpty());
        QCOMPARE(button->palette().color(QPalette::Button), QColor(255, 192, 128));
    }
    auto* credit = GuiFixture::child<QLabel>(start, QStringLiteral("Label3"));
    QCOMPARE(credit->palette().color(QPalette::WindowText), QColor(0, 255, 255));
    QCOMPARE(credit->alignment(), Qt::AlignCenter);
    QVERIFY(!credit->text().isEmpty());
    QApplication::setActiveWindow(&start);
    QCOMPARE(QApplication::focusWidget(), GuiFixture::child<QWidget>(start, QStringLiteral("Command1")));
}

void TestNavigation::windowSettings_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QColor>("background");
    QTest::newRow("Start") << "Start"
                           << "Koerswacht" << QSize(637, 477) << QColor();
    QTest::newRow("Form1") << "Form1"
                           << "ETA Calculator" << QSize(432, 236) << QColor(0, 192, 192);
    QTest::newRow("Form2") << "Form2"
                           << "ETA Calculator Resultaten" << QSize(588, 460) << QColor(0, 192, 192);
    QTest::newRow("Form3") << "Form3"
                           << "SpeedCalculator" << QSize(414, 289) << QColor(0, 192, 192);
    QTest::newRow("frmAbout") << "frmAbout"
                              << "About Koerswacht" << QSize(569, 344) << QColor(192, 255, 255);
}

void TestNavigation::windowSettings() {
    QFETCH(QString, screen);
    QFETCH(QString, caption);
    QFETCH(QSize, client);
    QFETCH(QColor, background);
    QWidget& window = screenNamed(m_f->screens, screen);
    QCOMPARE(window.windowTitle(), caption);
    QCOMPARE(window.size(), client);
    QCOMPARE(window.minimumSize(), client);
    QCOMPARE(window.maximumSize(), client);
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint) && !(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!window.windowIcon().isNull());
    if (background.isValid()) {
        window.ensurePolished();
        QCOMPARE(window.palette().color(QPalette::Window), background);
    }
}

void TestNavigation::tabOrder_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("order");
    QTest::newRow("Start") << "Start"
                           << "Command1 Command2 Command3 Command4";
    QTest::newRow("Form1")
        << "Form1"
        << "SailDate STime TimeDiff Dist Vaart VVers Option1 Command1 Command2 Command3 Command4";
    QTest::newRow("Form3")
        << "Form3"
        << "SDate STime ADate ATime TimeDiff Dist Option1 Text1 Command1 Command4 Command2 "
           "Command3 Command5";
    QTest::newRow("frmAbout") << "frmAbout"
                              << "cmdOK cmdSysInfo";
}

void TestNavigation::tabOrder() {
    QFETCH(QString, screen);
    QFETCH(QString, order);
    QWidget& window = screenNamed(m_f->screens, screen);
    m_f->screens.show(window);
    QApplication::setActiveWindow(&window);
    const QStringList names = order.split(u' ');
    QWidget* first = GuiFixture::child<QWidget>(window, names.first());
    first->setFocus(Qt::TabFocusReason);
    QStringList seen{names.first()};
    for (int i = 1; i < names.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        // The picker's inner line edit stands for the picker itself.
        while (focus && focus->parentWidget() != &window)
            focus = focus->parentWidget();
        seen << (focus ? focus->objectName() : QStringLiteral("<none>"));
    }
    QCOMPARE(seen.join(u' '), order);
}

void TestNavigation::errorKeepsInputAndFocusesField() {
    run(*m_f, QStringLiteral("Start.Command1"));
    QWidget& form1 = m_f->screens.Form1();
    QApplication::setActiveWindow(&form1);
    GuiFixture::type(form1, QStringLiteral("STime"), QStringLiteral("acht uur"));
    GuiFixture::click(form1, QStringLiteral("Command1"));
    QCOMPARE(m_f->messages.size(), size_t(1));
    QCOMPARE(m_f->messages[0].title, QStringLiteral("Koerswacht"));
    QVERIFY2(m_f->messages[0].text.contains(u"\u201CVertrek tijd\u201D"), qPrintable(m_f->messages[0].text));
    QVERIFY(m_f->messages[0].text.contains(u"uu.mm"));
    QCOMPARE(GuiFixture::text(form1, QStringLiteral("STime")), QStringLiteral("acht uur"));
    QCOMPARE(QApplication::focusWidget(), GuiFixture::child<QWidget>(form1, QStringLiteral("STime")));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("Form1"));
}

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
