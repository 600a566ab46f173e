// Start-up's second thread and the main menu's picture, and what is on the clipboard when the
// program ends with a report stuck. This test has its own main(): the thread must be started and
// finished before the application object exists, as the program does it.

#include "GuiFixture.h"
#include "app/Program.h"
#include "app/StartupWork.h"
#include "print/PrintSystem.h"
#include "print/PrintWorkers.h"
#include "ui/Resources.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <thread>

namespace {

QStringList threadWarnings;

void recordMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (text.contains(QLatin1String("thread")))
        threadWarnings << text;
}

QRgb pixelAt(const QImage& image, QPoint point) {
    return image.pixel(point) & 0xffffffU;
}

#ifdef Q_OS_WIN
// A print system that keeps its worker until the deadline: a report stuck on a silent printer.
class Stuck final : public kw::PrintSystem {
public:
    kw::PrintResult findDefaultPrinter(const kw::Deadline& deadline) override {
        while (!deadline.passed())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return {};
    }
    std::unique_ptr<kw::TextDevice> openDocument(const QString&, const kw::Deadline&,
                                                 std::atomic<bool>&) override {
        return nullptr;
    }
    kw::PrintResult handOver(const kw::Deadline&, std::atomic<bool>&) override { return {}; }
};
#endif

const QString Copied = QStringLiteral("Gemiddelde Snelheid\t14,28\n");

// The program as main() runs it: puts a result on the clipboard, has a report stuck, and ends.
int copyThenEndWithAStuckReport(char* programName) {
#ifdef Q_OS_WIN
    kw::PrintWorkers stuck([] { return std::make_unique<Stuck>(); });
#else
    kw::PrintWorkers stuck({QStringLiteral("/bin/sleep"), QStringLiteral("30")});
#endif
    QTimer copyAndEnd;
    copyAndEnd.setSingleShot(true);
    return kw::RunProgram(programName, [&stuck, &copyAndEnd](kw::Screens& screens) {
        QObject::connect(&copyAndEnd, &QTimer::timeout, &screens, [&stuck, &screens] {
            QGuiApplication::clipboard()->setText(Copied);
            stuck.start({QStringLiteral("Proef"), [](kw::ReportPrinter&) {}}, [](const kw::PrintResult&) {});
            screens.endProgram();
        });
        copyAndEnd.start(0);
    });
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

public:
    explicit TestStartup(QImage decoded)
        : m_decoded(std::move(decoded)) {}

private slots:
    // A second thread that used Qt first would have become Qt's main thread, and the application
    // object would warn that it was not created there.
    void applicationOwnsTheMainThread() {
        QVERIFY2(threadWarnings.isEmpty(), qPrintable(threadWarnings.join(QLatin1Char('\n'))));
    }

    void pictureDecodedWhole() {
        QCOMPARE(m_decoded.size(), QSize(640, 480));
        QCOMPARE(m_decoded, kw::LoadMenuPicture());
    }

    void menuShowsItsPicture_data() {
        QTest::addColumn<bool>("supplied");
        QTest::newRow("handed over by start-up") << true;
        QTest::newRow("loaded by the menu") << false;
    }

    void menuShowsItsPicture() {
        QFETCH(bool, supplied);
        // A picture of one colour tells the handed-over picture from the one in the resources.
        QImage plain(640, 480, QImage::Format_RGB32);
        plain.fill(QColor(12, 34, 56));
        GuiFixture fixture;
        if (supplied)
            fixture.screens.setMenuPicture(plain);
        const QImage expected = supplied ? plain : m_decoded;
        const QImage shown = fixture.screens.menu().grab().toImage();
        // Corners and middle, away from the title, the buttons and the credit.
        for (const QPoint point : {QPoint(1, 1), QPoint(318, 200), QPoint(635, 300), QPoint(1, 475)})
            QCOMPARE(pixelAt(shown, point), pixelAt(expected, point));
    }

    // Ended while a report was stuck, the program does not wait for it, but what it copied stays
    // on the clipboard for the user to paste. (Only where the clipboard is the system's.)
    void clipboardOutlivesTheProgram() {
        if (QGuiApplication::platformName() == u"offscreen")
            QSKIP("the offscreen platform's clipboard is the process's own");
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("KOERSWACHT_TEST_FAST_END"), QStringLiteral("1"));
        program.setProcessEnvironment(environment);
        program.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(QGuiApplication::clipboard()->text(), Copied);
    }

private:
    QImage m_decoded;
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsSet("KOERSWACHT_TEST_FAST_END"))
        return copyThenEndWithAStuckReport(argv[0]);
    qInstallMessageHandler(recordMessage);
    QImage decoded;
    {
        kw::StartupWork work;
        decoded = work.takeMenuPicture();
    }
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    TestStartup test(std::move(decoded));
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
