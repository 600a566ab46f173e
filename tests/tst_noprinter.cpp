// Runs with CUPS_SERVER pointing nowhere: there is no default printer.

#include "GuiFixture.h"

#include <QPrinterInfo>

using namespace kw;

class TestNoPrinter final : public QObject {
    Q_OBJECT

private slots:
    void printingSaysSoAndGoesOn_data();
    void printingSaysSoAndGoesOn();
    void speedReportFailsAtItsFirstFailingStep_data();
    void speedReportFailsAtItsFirstFailingStep();
};

void TestNoPrinter::printingSaysSoAndGoesOn_data() {
    QTest::addColumn<QString>("print");
    QTest::newRow("ETA results") << "etaResults.print";
    QTest::newRow("speed calculator") << "speedCalculator.print";
}

void TestNoPrinter::printingSaysSoAndGoesOn() {
    QFETCH(QString, print);
    QVERIFY(QPrinterInfo::defaultPrinter().isNull());
    GuiFixture f;
    f.screens.menu().showCentred();
    QWidget& window = f.screen(print.section(u'.', 0, 0));
    f.screens.show(window);
    f.run(print);
    QCOMPARE(f.messages.size(), size_t(1));
    QVERIFY2(f.messages[0].text.contains(u"geen standaardprinter"), qPrintable(f.messages[0].text));
    QCOMPARE(f.messages[0].icon, QMessageBox::Warning);
    QVERIFY(window.isVisible());
    QCOMPARE(f.ended, 0);
}

void TestNoPrinter::speedReportFailsAtItsFirstFailingStep_data() {
    QTest::addColumn<QDate>("arrival");
    QTest::addColumn<QString>("message");
    // 6 December 2026 08.00 to 7 December 14.30: 29.5 hours, which split; then the printer fails.
    QTest::newRow("no printer") << QDate(2026, 12, 7) << "geen standaardprinter";
    // To 2030: more than 32767 steaming hours, which do not split into 16-bit hours. That comes
    // first in the report, before the printer is opened.
    QTest::newRow("steaming hours overflow before the printer") << QDate(2030, 12, 7) << "te groot";
}

void TestNoPrinter::speedReportFailsAtItsFirstFailingStep() {
    QFETCH(QDate, arrival);
    QFETCH(QString, message);
    GuiFixture f;
    f.screens.menu().showCentred();
    f.run(QStringLiteral("menu.speedCalculator"));
    SpeedCalculator& speed = f.screens.speedCalculator();
    GuiFixture::fillWorkedSpeed(speed, QLocale::c());
    speed.controls().arrivalDate->setDate(arrival);
    f.run(QStringLiteral("speedCalculator.calculate"));
    QVERIFY(f.messages.empty());
    f.run(QStringLiteral("speedCalculator.print"));
    QCOMPARE(f.messages.size(), size_t(1));
    QVERIFY2(f.messages[0].text.contains(message), qPrintable(f.messages[0].text));
}

QTEST_MAIN(TestNoPrinter)
#include "tst_noprinter.moc"
