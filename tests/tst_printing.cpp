// Prints through the real screens to the system's default printer, a cups-pdf queue started by
// scripts/cups-start.sh, and reads the PDF back with poppler's pdftotext.

#include "GuiFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>

#include <functional>

using namespace kw;

namespace {

const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);

struct Word {
    double x;
    double y;
    double xMax;
    QString text;
};

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Where the test printer's cups-pdf writes: scripts/cups-start.sh says so.
QString outputFolder() {
    return QString::fromLocal8Bit(qgetenv("KOERSWACHT_PDF_DIR"));
}

// Waits until the queue is empty and the document is there.
QString waitForPdf(const QString& file) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 30000) {
        if (QFile::exists(file) &&
            run(QStringLiteral("lpstat"), {QStringLiteral("-o"), QStringLiteral("PDF")}).trimmed().isEmpty())
            return file;
        QTest::qWait(100);
    }
    return {};
}

std::vector<Word> words(const QString& pdf) {
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    std::vector<Word> result;
    for (const QRegularExpressionMatch& m : word.globalMatch(html)) {
        result.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                          m.captured(4).replace(QStringLiteral("&amp;"), QStringLiteral("&"))});
    }
    return result;
}

// A word that is not on the page is one that stands nowhere: every position check on it fails,
// naming the word, and the suite goes on.
const Word& find(const std::vector<Word>& all, const QString& text, int occurrence = 0) {
    static const Word nowhere{qQNaN(), qQNaN(), qQNaN(), QString()};
    for (const Word& w : all) {
        if (w.text == text && occurrence-- == 0)
            return w;
    }
    return nowhere;
}

// The report font's metrics, in PDF points.
struct FontMeasure {
    double averageCharWidth;
    double lineSpacing;
    double blank;
    std::function<double(const QString&)> width;
};

FontMeasure measure(double points, bool bold = false) {
    QPdfWriter writer(QStringLiteral("/dev/null"));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    const QFontMetricsF metrics(font, &writer);
    const double scale = 72.0 / writer.resolution();
    return {metrics.averageCharWidth() * scale, metrics.lineSpacing() * scale,
            metrics.horizontalAdvance(u' ') * scale,
            [metrics, scale](const QString& text) { return metrics.horizontalAdvance(text) * scale; }};
}

QString printAndRead(QAbstractButton* print, const QString& title, std::vector<Word>& all, QString& layout) {
    const QString file = outputFolder() + u'/' + QString(title).replace(u' ', u'_') + QStringLiteral(".pdf");
    QFile::remove(file);
    GuiFixture::click(print);
    QString pdf = waitForPdf(file);
    if (!pdf.isEmpty()) {
        all = words(pdf);
        layout = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    }
    return pdf;
}

} // namespace

class TestPrinting final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void etaReport_data();
    void etaReport();
    void speedReport_data();
    void speedReport();

private:
    std::unique_ptr<GuiFixture> m_f;
};

void TestPrinting::initTestCase() {
    if (!run(QStringLiteral("lpstat"), {QStringLiteral("-d")}).contains(u"PDF") || outputFolder().isEmpty())
        QFAIL("No private cups-pdf default printer: eval \"$(scripts/cups-start.sh)\" first");
}

void TestPrinting::etaReport_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("firstSpeed");
    QTest::addColumn<QString>("friday");
    QTest::newRow("Dutch locale") << dutch << "10,00"
                                  << "vrijdag";
    QTest::newRow("C locale") << QLocale::c() << "10.00"
                              << "Friday";
}

void TestPrinting::etaReport() {
    QFETCH(QLocale, locale);
    QFETCH(QString, firstSpeed);
    QFETCH(QString, friday);
    QLocale::setDefault(locale);
    m_f = std::make_unique<GuiFixture>();
    m_f->screens.menu().showCentred();
    m_f->run(QStringLiteral("menu.etaCalculator"));
    GuiFixture::fillWorkedPassage(m_f->screens.etaCalculator(), locale);
    m_f->run(QStringLiteral("etaCalculator.calculate"));
    const auto& results = m_f->screens.etaResults().controls();
    results.timeDifference->setText(QStringLiteral("1uur")); // typed after the calculation

    std::vector<Word> all;
    QString layout;
    QVERIFY(!printAndRead(results.print, QStringLiteral("ETA Calculator Resultaten"), all, layout).isEmpty());
    QVERIFY2(m_f->messages.empty(), m_f->messages.empty() ? "" : qPrintable(m_f->messages[0].text));

    // Every line and literal, in order.
    const QStringList expectedLines{QStringLiteral("ETA Calculator Resultaten"),
                                    QStringLiteral("Vertek datum en tijd 01-03-2002 08:00"),
                                    QStringLiteral("Afstand 120") + locale.decimalPoint() +
                                        QStringLiteral("00"),
                                    QStringLiteral("Datumgrens Correctie 0"),
                                    QStringLiteral("Tijdsverschil 1uur"),
                                    QStringLiteral("Vaart ETA Dag Datum and Tijd.")};
    QStringList lines;
    for (const QString& line : layout.split(u'\n')) {
        if (!line.trimmed().isEmpty())
            lines << line.simplified();
    }
    QCOMPARE(lines.size(), 6 + EtaRowCount);
    for (int i = 0; i < expectedLines.size(); ++i)
        QCOMPARE(lines[i], expectedLines[i]);
    QCOMPARE(lines[6], firstSpeed + u' ' + friday + QStringLiteral(" 01-03-2002 21:00"));
    QCOMPARE(lines.last().section(u' ', -2), QStringLiteral("01-03-2002 11:00"));

    // Columns, in the body font's average character width from the page's column 0.
    const double column = measure(14).averageCharWidth;
    const Word& label = find(all, QStringLiteral("Vertek"));
    QVERIFY2(!qIsNaN(label.x), "on the page");
    const double origin = label.x - 14 * column;
    for (const QString& value : {QStringLiteral("01-03-2002"), QStringLiteral("0"), QStringLiteral("1uur")})
        QVERIFY2(std::abs(find(all, value).x - (origin + 42 * column)) < 0.3 * column, qPrintable(value));
    const Word& distance = find(all, QStringLiteral("120") + locale.decimalPoint() + QStringLiteral("00"));
    QVERIFY2(std::abs(distance.x - (origin + 42 * column)) < 0.3 * column, "distance in zone 4");
    const Word& speed = find(all, firstSpeed);
    const double blank = measure(14).blank;
    QVERIFY(std::abs(speed.x - (origin + 14 * column + blank)) < 0.3 * column);
    QVERIFY(std::abs(find(all, friday).x - (origin + 28 * column + blank)) < 0.3 * column);

    // Title 16 points bold, body 14 regular, told by the widths of their words; 30 lines of 14
    // points from "Vertek" to the last row.
    const Word& title = find(all, QStringLiteral("Calculator"));
    QVERIFY(std::abs(title.xMax - title.x - measure(16, true).width(QStringLiteral("Calculator"))) < 0.5);
    QVERIFY(std::abs(label.xMax - label.x - measure(14).width(QStringLiteral("Vertek"))) < 0.5);
    const Word& lastRow = find(all, QStringLiteral("01-03-2002"), 11);
    QVERIFY2(!qIsNaN(lastRow.x), "on the page");
    const double expected = 30 * measure(14).lineSpacing;
    QVERIFY2(std::abs((lastRow.y - label.y) - expected) < 0.02 * expected,
             qPrintable(QStringLiteral("%1 vs %2").arg(lastRow.y - label.y).arg(expected)));
    QVERIFY(
        run(QStringLiteral("pdffonts"), {outputFolder() + QStringLiteral("/ETA_Calculator_Resultaten.pdf")})
            .contains(u"Bold"));
}

void TestPrinting::speedReport_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("speed");
    QTest::newRow("C locale") << QLocale::c() << "10.16";
    QTest::newRow("Dutch locale") << dutch << "10,16";
}

void TestPrinting::speedReport() {
    QFETCH(QLocale, locale);
    QFETCH(QString, speed);
    QLocale::setDefault(locale);
    m_f = std::make_unique<GuiFixture>();
    m_f->screens.menu().showCentred();
    m_f->run(QStringLiteral("menu.speedCalculator"));
    SpeedCalculator& form3 = m_f->screens.speedCalculator();
    GuiFixture::fillWorkedSpeed(form3, locale);
    m_f->run(QStringLiteral("speedCalculator.calculate"));
    // Changed after the calculation: the report still prints what the calculation used.
    form3.controls().timeDifference->setText(QStringLiteral("7"));
    m_f->run(QStringLiteral("speedCalculator.dateLineDayForward"));

    std::vector<Word> all;
    QString layout;
    QVERIFY(!printAndRead(form3.controls().print, QStringLiteral("SpeedCalculator Resultaten"), all, layout)
                 .isEmpty());
    QVERIFY(m_f->messages.empty());

    QStringList lines;
    for (const QString& line : layout.split(u'\n')) {
        if (!line.trimmed().isEmpty())
            lines << line.simplified();
    }
    const QStringList expected{QStringLiteral("SpeedCalculator Resultaten"),
                               QStringLiteral("Vertrek datum en tijd 06-12-2026 8:00"),
                               QStringLiteral("Aankomst datum en tijd 07-12-2026 14:30"),
                               QStringLiteral("Datumgrens Correctie 0"),
                               QStringLiteral("Tijdsverschil 1"),
                               QStringLiteral("Stoom tijd 29:30"),
                               QStringLiteral("Gemiddelde snelheid = ") + speed};
    QCOMPARE(lines, expected);

    const double column = measure(12).averageCharWidth;
    const double origin = find(all, QStringLiteral("Vertrek")).x;
    for (const QString& value : {QStringLiteral("06-12-2026"), QStringLiteral("07-12-2026"),
                                 QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("29:30")})
        QVERIFY2(std::abs(find(all, value).x - (origin + 28 * column)) < 0.3 * column, qPrintable(value));
    // The speed is joined to its label: it starts where the label's ink ends.
    const double labelEnd = origin + measure(12).width(QStringLiteral("Gemiddelde snelheid = "));
    QVERIFY(std::abs(find(all, speed).x - labelEnd) < 0.3 * column);
    QVERIFY(std::abs(find(all, QStringLiteral("SpeedCalculator")).x -
                     (origin + 28 * measure(16, true).averageCharWidth)) < 0.3 * column);
    const double lineSpacing = measure(12).lineSpacing;
    const double span = find(all, QStringLiteral("Gemiddelde")).y - find(all, QStringLiteral("Vertrek")).y;
    QVERIFY2(std::abs(span - 6 * lineSpacing) < 0.02 * span, qPrintable(QString::number(span)));
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
