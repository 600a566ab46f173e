// Runs with CUPS_SERVER pointing nowhere: there is no default printer.

#include "GuiFixture.h"

#include <QPrinterInfo>

using namespace kw;

class TestNoPrinter final : public QObject {
    Q_OBJECT

private slots:
    void printingSaysSoAndGoesOn_data();
    void printingSaysSoAndGoesOn();
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

QTEST_MAIN(TestNoPrinter)
#include "tst_noprinter.moc"
