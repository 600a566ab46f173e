// Print jobs that do not reach the queue are reported, and a print server that does not answer
// never freezes the screens. Three ways to fail, each in a process of its own, since the print
// system reads its server and its temporary folder once per process:
//   KOERSWACHT_SILENT_SERVER=path  a server that takes the connection and never answers (made here)
//   KOERSWACHT_FULL_TMPDIR=path    the temporary folder is full (tests/with_full_tmpdir.sh)
//   neither                        the private test printer refuses jobs (scripts/cups-start.sh)

#include "GuiFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProgressDialog>
#include <QTimer>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

using namespace kw;

namespace {

QString pdfFolder() {
    return QString::fromLocal8Bit(qgetenv("KOERSWACHT_PDF_DIR"));
}

QStringList pdfs() {
    return QDir(pdfFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
}

bool lpadmin(const char* command, const char* queue) {
    return QProcess::execute(QString::fromLatin1(command),
                             {QStringLiteral("-h"), QString::fromLocal8Bit(qgetenv("CUPS_SERVER")),
                              QString::fromLatin1(queue)}) == 0;
}

// Prints the worked passage's ETA report and returns what the program said.
QStringList printEta(GuiFixture& f);

// The report fails with one printer message saying `message`, and no PDF comes of it.
void printsNothingAndSays(GuiFixture& f, QStringView message) {
    const QStringList before = pdfs();
    const QStringList said = printEta(f);
    QCOMPARE(said.size(), 1);
    QVERIFY2(said[0].contains(message), qPrintable(said[0]));
    QTest::qWait(1000);
    QCOMPARE(pdfs(), before);
}

QStringList printEta(GuiFixture& f) {
    f.screens.menu().showCentred();
    f.run(QStringLiteral("menu.etaCalculator"));
    GuiFixture::fillWorkedPassage(f.screens.etaCalculator(), QLocale::c());
    f.run(QStringLiteral("etaCalculator.calculate etaResults.print"));
    QStringList said;
    for (const RecordedMessage& message : f.messages)
        said << message.text;
    f.messages.clear();
    return said;
}

} // namespace

class TestPrintFailures final : public QObject {
    Q_OBJECT

private slots:
    void refusedJob() {
        QVERIFY2(!pdfFolder().isEmpty(), "needs the private test printer");
        QVERIFY(lpadmin("cupsreject", "PDF"));
        const auto accept = qScopeGuard([] { lpadmin("cupsaccept", "PDF"); });
        for (const QString& pdf : pdfs()) // the test printer's own folder
            QFile::remove(pdfFolder() + u'/' + pdf);
        GuiFixture f;
        printsNothingAndSays(f, u"neemt op dit moment geen afdrukken aan");
        if (QTest::currentTestFailed())
            return;

        // Accepting again, the same report prints and nothing is said.
        QVERIFY(lpadmin("cupsaccept", "PDF"));
        const QStringList again = printEta(f);
        QCOMPARE(again, QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(pdfs(), QStringList{QStringLiteral("ETA_Calculator_Resultaten.pdf")},
                                  30000);
    }

    void fullTemporaryFolder() {
        const QString full = QString::fromLocal8Bit(qgetenv("KOERSWACHT_FULL_TMPDIR"));
        QVERIFY2(!full.isEmpty() && QDir::tempPath() == full, "needs tests/with_full_tmpdir.sh");
        QFile probe(full + QStringLiteral("/probe"));
        QVERIFY(probe.open(QIODevice::WriteOnly));
        constexpr qsizetype size = qsizetype(64) * 1024;
        QVERIFY(probe.write(QByteArray(size, 'x')) < size || !probe.flush());
        probe.close();
        probe.remove();
        GuiFixture f;
        printsNothingAndSays(f, u"niet aangenomen");
    }

    void silentServer() {
        QVERIFY2(qEnvironmentVariableIsSet("KOERSWACHT_SILENT_SERVER"), "needs the silent server of main()");
        GuiFixture f;
        // While the program waits, the screens keep running: count the turns of the event loop
        // and look for the window that says it waits.
        int ticks = 0;
        bool waitShown = false;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] {
            ++ticks;
            if (auto* wait = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
                waitShown = waitShown || (wait->isVisible() && wait->labelText().contains(u"printer"));
        });
        ticker.start(50);
        QElapsedTimer clock;
        clock.start();
        const QStringList said = printEta(f);
        const qint64 waited = clock.elapsed();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].contains(u"antwoordt niet"), qPrintable(said[0]));
        QVERIFY2(waited >= 9000 && waited <= 12500, qPrintable(QString::number(waited)));
        QVERIFY2(ticks >= waited / 50 / 2,
                 qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks).arg(waited)));
        QVERIFY(waitShown);
    }
};

int main(int argc, char* argv[]) {
    const QByteArray silent = qgetenv("KOERSWACHT_SILENT_SERVER");
    int server = -1;
    if (!silent.isEmpty()) {
        // Takes connections into its backlog and never reads or answers them.
        server = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, silent.constData(), sizeof address.sun_path - 1);
        ::unlink(silent.constData());
        if (server < 0 || ::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(server, 16) != 0) {
            std::perror("silent server");
            return 1;
        }
        qputenv("CUPS_SERVER", silent);
    }
    QApplication app(argc, argv);
    TestPrintFailures test;
    char silentServer[] = "silentServer";
    char fullTemporaryFolder[] = "fullTemporaryFolder";
    char refusedJob[] = "refusedJob";
    char* which = !silent.isEmpty()                                     ? silentServer
                  : qEnvironmentVariableIsSet("KOERSWACHT_FULL_TMPDIR") ? fullTemporaryFolder
                                                                        : refusedJob;
    char* arguments[] = {argv[0], which};
    const int result = QTest::qExec(&test, 2, arguments);
    if (server >= 0) {
        ::close(server);
        ::unlink(silent.constData());
    }
    return result;
}

#include "tst_printfailures.moc"
