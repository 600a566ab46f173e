// Runs with CUPS_SERVER pointing nowhere: there is no default printer.

#include "GuiFixture.h"

#include "calc/EtaResults.h"
#include "calc/SpeedCalculator.h"

#include <QPrinterInfo>

using namespace kw;

class TestNoPrinter final : public QObject {
    Q_OBJECT

private slots:
    void printingSaysSoAndGoesOn_data();
    void printingSaysSoAndGoesOn();
};

void TestNoPrinter::printingSaysSoAndGoesOn_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("button");
    QTest::newRow("ETA results") << "Form2"
                                 << "Command2";
    QTest::newRow("speed calculator") << "Form3"
                                      << "Command4";
}

void TestNoPrinter::printingSaysSoAndGoesOn() {
    QFETCH(QString, screen);
    QFETCH(QString, button);
    QVERIFY(QPrinterInfo::defaultPrinter().isNull());
    GuiFixture f;
    f.screens.Start().showCentred();
    QWidget& window = screen == u"Form2" ? static_cast<QWidget&>(f.screens.Form2()) : f.screens.Form3();
    f.screens.show(window);
    GuiFixture::click(window, button);
    QCOMPARE(f.messages.size(), size_t(1));
    QVERIFY2(f.messages[0].text.contains(u"geen standaardprinter"), qPrintable(f.messages[0].text));
    QCOMPARE(f.messages[0].icon, QMessageBox::Warning);
    QVERIFY(window.isVisible());
    QCOMPARE(f.ended, 0);
}

QTEST_MAIN(TestNoPrinter)
#include "tst_noprinter.moc"
