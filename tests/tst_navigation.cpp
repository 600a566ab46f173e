#include "GuiFixture.h"

#include "ui/SpacedLabel.h"
#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>

#include <stdexcept>

using namespace kw;

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
    void unexpectedErrorIsShownAndTheProgramGoesOn();
    void aboutLeftAloneBringsBackTheMenu_data();
    void aboutLeftAloneBringsBackTheMenu();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void everyTextFitsItsControl_data();
    void everyTextFitsItsControl();

private:
    std::unique_ptr<GuiFixture> m_f;
};

void TestNavigation::init() {
    QLocale::setDefault(QLocale::c());
    m_f = std::make_unique<GuiFixture>();
    m_f->screens.menu().showCentred();
}

void TestNavigation::startsOnTheMainMenuAlone() {
    QCOMPARE(GuiFixture::visible(), QStringLiteral("menu"));
    // Nothing but the menu is created at start.
    QCOMPARE(QApplication::topLevelWidgets().size(), 1);
}

void TestNavigation::matrix_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("visible");
    QTest::newRow("ETA Calculator") << "menu.etaCalculator"
                                    << "etaCalculator";
    QTest::newRow("Speed Calculator") << "menu.speedCalculator"
                                      << "speedCalculator";
    QTest::newRow("Koerswacht Info keeps the menu") << "menu.about"
                                                    << "menu,about";
    QTest::newRow("ETA calculator: SpeedCalculator") << "menu.etaCalculator etaCalculator.speedCalculator"
                                                     << "speedCalculator";
    QTest::newRow("ETA calculator: MENU") << "menu.etaCalculator etaCalculator.menu"
                                          << "menu";
    QTest::newRow("speed calculator: ETA Calculator") << "menu.speedCalculator speedCalculator.etaCalculator"
                                                      << "etaCalculator";
    QTest::newRow("speed calculator: MENU") << "menu.speedCalculator speedCalculator.menu"
                                            << "menu";
    QTest::newRow("About stays open while going on") << "menu.about menu.etaCalculator"
                                                     << "etaCalculator,about";
    QTest::newRow("About OK") << "menu.about about.ok"
                              << "menu";
}

void TestNavigation::matrix() {
    QFETCH(QString, steps);
    QFETCH(QString, visible);
    m_f->run(steps);
    QCOMPARE(GuiFixture::visible(), visible);
    QVERIFY(m_f->messages.empty());
}

void TestNavigation::endProgram_data() {
    QTest::addColumn<QString>("steps");
    QTest::newRow("from the menu") << "menu.endProgram";
    QTest::newRow("from the ETA calculator") << "menu.etaCalculator etaCalculator.endProgram";
    QTest::newRow("from the speed calculator") << "menu.speedCalculator speedCalculator.endProgram";
    QTest::newRow("with About open") << "menu.about menu.speedCalculator speedCalculator.endProgram";
}

void TestNavigation::endProgram() {
    QFETCH(QString, steps);
    m_f->run(steps);
    QCOMPARE(m_f->ended, 1);
    QCOMPARE(GuiFixture::visible(), QString());
}

void TestNavigation::closeBox_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("closed");
    QTest::addColumn<QString>("visible");
    QTest::addColumn<int>("ended");
    QTest::newRow("menu ends the program") << ""
                                           << "menu"
                                           << "" << 1;
    QTest::newRow("last calculator brings back the menu") << "menu.etaCalculator"
                                                          << "etaCalculator"
                                                          << "menu" << 0;
    QTest::newRow("speed calculator likewise") << "menu.speedCalculator"
                                               << "speedCalculator"
                                               << "menu" << 0;
    QTest::newRow("About is closed like OK") << "menu.about"
                                             << "about"
                                             << "menu" << 0;
    QTest::newRow("calculator with About open") << "menu.about menu.etaCalculator"
                                                << "etaCalculator"
                                                << "about" << 0;
}

void TestNavigation::closeBox() {
    QFETCH(QString, steps);
    QFETCH(QString, closed);
    QFETCH(QString, visible);
    QFETCH(int, ended);
    m_f->run(steps);
    m_f->screen(closed).close();
    QCOMPARE(GuiFixture::visible(), visible);
    QCOMPARE(m_f->ended, ended);
}

void TestNavigation::inputsSurviveNavigation() {
    m_f->run(QStringLiteral("menu.etaCalculator"));
    const auto& eta = m_f->screens.etaCalculator().controls();
    eta.departureTime->setText(QStringLiteral("14.30"));
    eta.distance->setText(QStringLiteral("120"));
    GuiFixture::click(eta.dateLineDayBack);
    m_f->run(QStringLiteral("etaCalculator.menu menu.speedCalculator"));
    const auto& speed = m_f->screens.speedCalculator().controls();
    speed.arrivalTime->setText(QStringLiteral("8.15"));
    m_f->run(QStringLiteral("speedCalculator.etaCalculator"));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("etaCalculator"));
    QCOMPARE(eta.departureTime->text(), QStringLiteral("14.30"));
    QCOMPARE(eta.distance->text(), QStringLiteral("120"));
    QVERIFY(eta.dateLineDayBack->isChecked());
    QCOMPARE(DateLineCorrection(m_f->screens.etaCalculator().dateLine()), -24);
    m_f->run(QStringLiteral("etaCalculator.speedCalculator"));
    QCOMPARE(speed.arrivalTime->text(), QStringLiteral("8.15"));
}

void TestNavigation::screensAreSingleInstances() {
    m_f->run(QStringLiteral("menu.about"));
    QWidget* about = &m_f->screens.about();
    m_f->run(QStringLiteral("menu.about"));
    QCOMPARE(&m_f->screens.about(), about);
    int aboutCount = 0;
    for (const QWidget* window : QApplication::topLevelWidgets())
        aboutCount += qobject_cast<const AboutDialog*>(window) != nullptr;
    QCOMPARE(aboutCount, 1);
    QCOMPARE(&m_f->screens.etaCalculator(), &m_f->screens.etaCalculator());
}

void TestNavigation::aboutReopensFresh() {
    m_f->run(QStringLiteral("menu.about"));
    QVERIFY(m_f->screens.aboutLoaded());
    m_f->screens.about().controls().title->setText(QStringLiteral("changed"));
    m_f->run(QStringLiteral("about.ok"));
    QVERIFY(!m_f->screens.aboutLoaded());
    m_f->run(QStringLiteral("menu.about"));
    AboutDialog& about = m_f->screens.about();
    QCOMPARE(about.controls().title->text(), QStringLiteral("Koerswacht"));
    QCOMPARE(about.controls().version->text(), QStringLiteral("Version 6.3.0"));
    QCOMPARE(about.windowTitle(), QStringLiteral("About Koerswacht"));
}

void TestNavigation::mainMenuLayout() {
    MainMenu& start = m_f->screens.menu();
    const auto& c = start.controls();
    QLabel* title = c.title;
    QCOMPARE(title->text(), QStringLiteral("Havenlicht Koerswacht"));
    QCOMPARE(title->geometry(), QRect(8, 16, 617, 49));
    QCOMPARE(title->font().family(), QStringLiteral("Arial"));
    QCOMPARE(title->font().pointSizeF(), 27.75);
    QVERIFY(title->font().bold() && title->font().italic());
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(255, 128, 0));
    const QStringList captions{QStringLiteral("ETA Calculator"), QStringLiteral("Speed Calculator"),
                               QStringLiteral("Koerswacht Info"), QStringLiteral("Einde Programma")};
    const QPushButton* buttons[] = {c.etaCalculator, c.speedCalculator, c.about, c.endProgram};
    for (int i = 0; i < 4; ++i) {
        const QPushButton* button = buttons[i];
        QCOMPARE(button->text(), captions[i]);
        QCOMPARE(button->geometry(),
                 QRect(QPoint(std::lround((120 + i * 2480) / 15.0), 384), QSize(121, 33)));
        QCOMPARE(button->font().family(), QStringLiteral("Arial Narrow"));
        QCOMPARE(button->font().pointSizeF(), 11.25);
        QVERIFY(!button->isDefault() && button->toolTip().isEmpty());
        QCOMPARE(button->palette().color(QPalette::Button), QColor(255, 192, 128));
    }
    QLabel* credit = c.credit;
    QCOMPARE(credit->palette().color(QPalette::WindowText), QColor(0, 255, 255));
    QCOMPARE(credit->alignment(), Qt::AlignCenter);
    QVERIFY(!credit->text().isEmpty());
    QApplication::setActiveWindow(&start);
    QCOMPARE(QApplication::focusWidget(), c.etaCalculator);
}

void TestNavigation::windowSettings_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QColor>("background");
    QTest::newRow("menu") << "menu"
                          << "Koerswacht" << QSize(637, 477) << QColor();
    QTest::newRow("etaCalculator") << "etaCalculator"
                                   << "ETA Calculator" << QSize(432, 236) << QColor(0, 192, 192);
    QTest::newRow("etaResults") << "etaResults"
                                << "ETA Calculator Resultaten" << QSize(588, 460) << QColor(0, 192, 192);
    QTest::newRow("speedCalculator") << "speedCalculator"
                                     << "SpeedCalculator" << QSize(414, 289) << QColor(0, 192, 192);
    QTest::newRow("about") << "about"
                           << "About Koerswacht" << QSize(569, 344) << QColor(192, 255, 255);
}

void TestNavigation::windowSettings() {
    QFETCH(QString, screen);
    QFETCH(QString, caption);
    QFETCH(QSize, client);
    QFETCH(QColor, background);
    QWidget& window = m_f->screen(screen);
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

namespace {

// The widgets of `screen` in the order Tab should visit them.
QList<QWidget*> tabStops(Screens& screens, const QString& screen) {
    if (screen == u"etaCalculator") {
        const auto& c = screens.etaCalculator().controls();
        return {c.sailDate,   c.departureTime, c.timeDifference,  c.distance, c.startSpeed, c.speedStep,
                c.noDateLine, c.calculate,     c.speedCalculator, c.menu,     c.endProgram};
    }
    if (screen == u"speedCalculator") {
        const auto& c = screens.speedCalculator().controls();
        return {c.departureDate, c.departureTime, c.arrivalDate,  c.arrivalTime, c.timeDifference,
                c.distance,      c.noDateLine,    c.averageSpeed, c.calculate,   c.print,
                c.etaCalculator, c.menu,          c.endProgram};
    }
    if (screen == u"about") {
        const auto& c = screens.about().controls();
        return {c.ok, c.sysInfo};
    }
    const auto& c = screens.menu().controls();
    return {c.etaCalculator, c.speedCalculator, c.about, c.endProgram};
}

} // namespace

void TestNavigation::tabOrder_data() {
    QTest::addColumn<QString>("screen");
    for (const char* screen : {"menu", "etaCalculator", "speedCalculator", "about"})
        QTest::newRow(screen) << QString::fromLatin1(screen);
}

void TestNavigation::tabOrder() {
    QFETCH(QString, screen);
    QWidget& window = m_f->screen(screen);
    m_f->screens.show(window);
    QApplication::setActiveWindow(&window);
    const QList<QWidget*> order = tabStops(m_f->screens, screen);
    order.first()->setFocus(Qt::TabFocusReason);
    QList<QWidget*> seen{order.first()};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        // The picker's inner line edit stands for the picker itself.
        while (focus && focus->parentWidget() != &window)
            focus = focus->parentWidget();
        seen << focus;
    }
    QCOMPARE(seen, order);
}

void TestNavigation::errorKeepsInputAndFocusesField() {
    m_f->run(QStringLiteral("menu.etaCalculator"));
    EtaCalculator& form = m_f->screens.etaCalculator();
    QApplication::setActiveWindow(&form);
    form.controls().departureTime->setText(QStringLiteral("acht uur"));
    GuiFixture::click(form.controls().calculate);
    QCOMPARE(m_f->messages.size(), size_t(1));
    QCOMPARE(m_f->messages[0].title, QStringLiteral("Koerswacht"));
    QVERIFY2(m_f->messages[0].text.contains(u"\u201CVertrek tijd\u201D"), qPrintable(m_f->messages[0].text));
    QVERIFY(m_f->messages[0].text.contains(u"uu.mm"));
    QCOMPARE(form.controls().departureTime->text(), QStringLiteral("acht uur"));
    QCOMPARE(QApplication::focusWidget(), form.controls().departureTime);
    QCOMPARE(GuiFixture::visible(), QStringLiteral("etaCalculator"));
}

void TestNavigation::unexpectedErrorIsShownAndTheProgramGoesOn() {
    // A failure that is not one of ours, from a handler wired like every other button.
    MainMenu& menu = m_f->screens.menu();
    QPushButton button(&menu);
    int runs = 0;
    m_f->screens.onClick(menu, &button, [&runs] {
        ++runs;
        throw std::length_error("vector te lang");
    });
    GuiFixture::click(&button);
    GuiFixture::click(&button);
    QCOMPARE(runs, 2);
    QCOMPARE(m_f->messages.size(), size_t(2));
    QCOMPARE(m_f->messages[0].title, QStringLiteral("Koerswacht"));
    QCOMPARE(m_f->messages[0].text, QStringLiteral("Er is een onverwachte fout opgetreden: vector te lang"));
    QCOMPARE(m_f->messages[0].icon, QMessageBox::Warning);
    QCOMPARE(m_f->ended, 0);
    QCOMPARE(GuiFixture::visible(), QStringLiteral("menu"));
}

void TestNavigation::aboutLeftAloneBringsBackTheMenu_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("OK") << "ok";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("close box") << "close";
}

// About stays open while the menu goes; once it is the only window left, however it is closed,
// the program must not run on with nothing on screen.
void TestNavigation::aboutLeftAloneBringsBackTheMenu() {
    QFETCH(QString, how);
    m_f->run(QStringLiteral("menu.about menu.etaCalculator"));
    m_f->screens.etaCalculator().close();
    QCOMPARE(GuiFixture::visible(), QStringLiteral("about"));
    AboutDialog& about = m_f->screens.about();
    if (how == u"ok")
        GuiFixture::click(about.controls().ok);
    else if (how == u"esc")
        QTest::keyClick(&about, Qt::Key_Escape);
    else
        about.close();
    QVERIFY(!m_f->screens.aboutLoaded());
    QCOMPARE(GuiFixture::visible(), QStringLiteral("menu"));
    QCOMPARE(m_f->ended, 0);
}

void TestNavigation::enterPressesTheFocusedButton_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("visible");
    QTest::newRow("menu: ETA Calculator, Return")
        << "menu.etaCalculator" << int(Qt::Key_Return) << "etaCalculator";
    QTest::newRow("menu: Speed Calculator, keypad Enter")
        << "menu.speedCalculator" << int(Qt::Key_Enter) << "speedCalculator";
    QTest::newRow("menu: Koerswacht Info") << "menu.about" << int(Qt::Key_Return) << "menu,about";
    QTest::newRow("ETA calculator: MENU") << "etaCalculator.menu" << int(Qt::Key_Return) << "menu";
    QTest::newRow("speed calculator: ETA Calculator")
        << "speedCalculator.etaCalculator" << int(Qt::Key_Return) << "etaCalculator";
    QTest::newRow("About: OK") << "about.ok" << int(Qt::Key_Return) << "menu";
}

void TestNavigation::enterPressesTheFocusedButton() {
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(QString, visible);
    QWidget& screen = m_f->screen(button.section(u'.', 0, 0));
    m_f->screens.show(screen);
    if (&screen != &m_f->screens.menu())
        m_f->screens.hide(m_f->screens.menu());
    QApplication::setActiveWindow(&screen);
    QAbstractButton* target = m_f->button(button);
    target->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), target);
    QTest::keyClick(target, Qt::Key(key));
    QTRY_COMPARE(GuiFixture::visible(), visible);
    QVERIFY(m_f->messages.empty());
}

void TestNavigation::everyTextFitsItsControl_data() {
    QTest::addColumn<QString>("screen");
    for (const char* screen : {"menu", "etaCalculator", "etaResults", "speedCalculator", "about"})
        QTest::newRow(screen) << QString::fromLatin1(screen);
}

// Every caption, option, date and result is shown whole in the fonts in use: a label, button or
// option button as wide and high as its text needs, a date picker as its widest date needs beside
// its drop-down button, a result box as its text.
void TestNavigation::everyTextFitsItsControl() {
    QFETCH(QString, screen);
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    m_f->run(QStringLiteral("menu.etaCalculator"));
    GuiFixture::fillWorkedPassage(m_f->screens.etaCalculator(), QLocale());
    m_f->run(QStringLiteral("etaCalculator.calculate"));
    QWidget& window = m_f->screen(screen);
    m_f->screens.show(window);
    window.ensurePolished();
    int checked = 0;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        control->ensurePolished();
        if (qobject_cast<SpacedLabel*>(control) != nullptr)
            continue; // laid out by its own rule; the About tests check it
        QSize needs;
        if (auto* label = qobject_cast<QLabel*>(control)) {
            if (label->text().isEmpty())
                continue;
            needs = label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                                      : label->sizeHint();
        } else if (qobject_cast<QRadioButton*>(control) != nullptr ||
                   qobject_cast<QDateEdit*>(control) != nullptr) {
            needs = control->sizeHint();
        } else if (auto* button = qobject_cast<QPushButton*>(control)) {
            // The text inside the keyboard-focus border (2 pixels) and a pixel of air each side.
            const QFontMetrics metrics(button->font());
            needs = QSize(metrics.horizontalAdvance(QString(button->text()).remove(u'&')) + 6,
                          metrics.height() + 6);
        } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
            if (box->text().trimmed().isEmpty() || qobject_cast<QDateEdit*>(box->parentWidget()) != nullptr)
                continue;
            // The text inside the frame (2 pixels) and the line edit's own margin (2 pixels) each side.
            needs = QSize(QFontMetrics(box->font()).horizontalAdvance(box->text()) + 8, 0);
        } else {
            continue;
        }
        ++checked;
        QVERIFY2(needs.width() <= control->width() && needs.height() <= control->height(),
                 qPrintable(QStringLiteral("%1 needs %2x%3, has %4x%5")
                                .arg(control->objectName())
                                .arg(needs.width())
                                .arg(needs.height())
                                .arg(control->width())
                                .arg(control->height())));
    }
    QVERIFY(checked >= 4);
    QLocale::setDefault(QLocale::c());
}

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
