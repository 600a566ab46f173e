// "Afdrukken" against print servers that misbehave (tests/FakePrintServers.h) and against the private
// test printer: every click ends in exactly one outcome within 10 seconds, the screens keep running
// meanwhile, the page is the one of the click, and nothing is heard after the program has ended.
// Needs the private test printer of scripts/cups-start.sh: the fakes that pass requests on pass
// them to its scheduler.

#include "AccessibleEvents.h"
#include "FakePrintServers.h"
#include "GuiFixture.h"
#include "app/Program.h"
#include "print/PrintWorkers.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <grp.h>
#include <pty.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>

using namespace kw;
using namespace Qt::StringLiterals;

namespace {

// What the user is told of each outcome (its wording is tst_printoutcomes' to check).
QString told(PrintOutcome outcome, const char* printer = "") {
    return PrintMessage({outcome, QString::fromLatin1(printer), {}, false, false, {}});
}
const QString NotAnswering = told(PrintOutcome::NotAnswering);
const QString Unreachable = told(PrintOutcome::ServerUnreachable);
const QString NoDefault = told(PrintOutcome::NoDefaultPrinter);
const QString NotAccepted = told(PrintOutcome::NotAccepted);
const QString NeedsLogin = told(PrintOutcome::NeedsLogin);
const QString NeedsEncryption = told(PrintOutcome::NeedsEncryption);
const QString Refusing = told(PrintOutcome::Refusing, "PDF");
const QString MaybePrinted = PrintMessage({PrintOutcome::NotAnswering, {}, {}, true, false, {}});

// The cases that wait out a silent server also run as CTest tests of their own, beside the
// others (tests/CMakeLists.txt); the run that does everything else is then told to leave them out.
bool waitsRunApart() {
    return qEnvironmentVariableIsSet("KOERSWACHT_WAITS_APART");
}

QByteArray testScheduler() {
    static const QByteArray scheduler = qgetenv("CUPS_SERVER");
    return scheduler;
}

QString pdfFolder() {
    return QString::fromLocal8Bit(qgetenv("KOERSWACHT_PDF_DIR"));
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool lpadmin(const char* command) {
    return QProcess::execute(
               QString::fromLatin1(command),
               {QStringLiteral("-h"), QString::fromLocal8Bit(testScheduler()), QStringLiteral("PDF")}) == 0;
}

// Every job the test printer's scheduler has taken, done or not.
int jobsTaken() {
    return int(
        run(QStringLiteral("lpstat"), {QStringLiteral("-h"), QString::fromLocal8Bit(testScheduler()),
                                       QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o")})
            .split(u'\n', Qt::SkipEmptyParts)
            .size());
}

void removePdfs() {
    for (const QString& pdf : QDir(pdfFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files))
        QFile::remove(pdfFolder() + u'/' + pdf);
}

// Entries of a folder of /proc/self: its threads ("task") or its open files ("fd").
int entries(const char* folder) {
    return int(QDir(QStringLiteral("/proc/self/") + QLatin1String(folder))
                   .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
                   .size());
}

// Runs commands of the CUPS tools on the test printer's scheduler, their words parted by '|'.
void onTestScheduler(const QStringList& commands) {
    for (const QString& command : commands) {
        QStringList arguments = command.split(u'|');
        const QString program = arguments.takeFirst();
        QProcess::execute(
            program, QStringList{QStringLiteral("-h"), QString::fromLocal8Bit(testScheduler())} + arguments);
    }
}

// The processes this one started (its print helpers among them).
QStringList startedProcesses() {
    QStringList pids;
    for (const QString& task : QDir(u"/proc/self/task"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile list(u"/proc/self/task/%1/children"_s.arg(task));
        if (list.open(QIODevice::ReadOnly))
            pids << QString::fromLatin1(list.readAll()).split(u' ', Qt::SkipEmptyParts);
    }
    return pids;
}

// Every descriptor of this process (but `except`) and of those it started, as a path another
// process could open, and the sockets among them that listen (as /proc/net says: a local one's
// flags, TCP's state).
struct Descriptors {
    QStringList paths;
    QStringList listening;
};
Descriptors descriptors(int except) {
    Descriptors d;
    QHash<QString, QString> inodes; // a socket's inode, and its descriptor's path
    const QStringList processes = startedProcesses() << QString::number(::getpid());
    for (const QString& process : processes) {
        const QString folder = u"/proc/%1/fd"_s.arg(process);
        for (const QFileInfo& fd : QDir(folder).entryInfoList(QDir::System | QDir::NoDotAndDotDot)) {
            if (process.toInt() == ::getpid() && fd.fileName().toInt() == except)
                continue;
            d.paths << fd.filePath();
            inodes.insert(fd.symLinkTarget().section(u'[', 1).section(u']', 0, 0), fd.filePath());
        }
    }
    for (const auto& [table, state, inode] :
         {std::tuple(u"unix"_s, 3, 6), {u"tcp"_s, 3, 9}, {u"tcp6"_s, 3, 9}}) {
        QFile file(u"/proc/net/"_s + table);
        file.open(QIODevice::ReadOnly);
        for (const QByteArray& line : file.readAll().split('\n').mid(1)) {
            const QStringList row = QString::fromLatin1(line).simplified().split(u' ');
            if (row.size() > inode && inodes.contains(row[inode]) &&
                (row[state] == u"00010000" || row[state] == u"0A"))
                d.listening << table + u' ' + inodes.value(row[inode]);
        }
    }
    return d;
}

// How many of `paths` the user nobody opens, in a child process of its own; -1 where the child
// could not become nobody.
int openedByNobody(const QStringList& paths) {
    const passwd* nobody = ::getpwnam("nobody");
    std::vector<QByteArray> names;
    for (const QString& path : paths)
        names.push_back(path.toLocal8Bit());
    const pid_t child = nobody != nullptr ? ::fork() : -1;
    if (child == 0) { // nothing but system calls from here: the parent has other threads
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
            ::_exit(255);
        int opened = 0;
        for (const QByteArray& name : names)
            opened += ::open(name.constData(), O_RDONLY | O_NONBLOCK) >= 0 ? 1 : 0;
        ::_exit(std::min(opened, 254));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return child > 0 && WIFEXITED(status) && WEXITSTATUS(status) != 255 ? WEXITSTATUS(status) : -1;
}

// The printed page's lines, blanks run together; empty until the queue is done with it.
QStringList pageLines(const QString& title) {
    const QString file = pdfFolder() + u'/' + QString(title).replace(u' ', u'_') + QStringLiteral(".pdf");
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 30000) {
        const bool queueEmpty =
            run(QStringLiteral("lpstat"),
                {QStringLiteral("-h"), QString::fromLocal8Bit(testScheduler()), QStringLiteral("-o")})
                .trimmed()
                .isEmpty();
        if (queueEmpty && QFile::exists(file)) {
            QStringList lines;
            const QString text =
                run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
            for (const QString& line : text.split(u'\n')) {
                if (!line.trimmed().isEmpty())
                    lines << line.simplified();
            }
            return lines;
        }
        QTest::qWait(100);
    }
    return {};
}

// Sends the program's print jobs to `server` while it lives. The print system reads the variable
// when a job starts, so it changes only while no worker runs.
class UsingServer {
public:
    explicit UsingServer(const QByteArray& server) {
        workersDone();
        qputenv("CUPS_SERVER", server);
    }
    ~UsingServer() {
        workersDone();
        qputenv("CUPS_SERVER", testScheduler());
    }
    UsingServer(const UsingServer&) = delete;
    UsingServer& operator=(const UsingServer&) = delete;

private:
    // Workers given up on stop at their deadline, a little before the screens hear of it.
    static void workersDone() {
        QElapsedTimer clock;
        clock.start();
        while (PrintWorkers::workersRunning() > 0 && clock.elapsed() < 15000)
            QTest::qWait(20);
    }
};

// How long this thread has waited, in nanoseconds, ready to run while the machine ran others
// (the scheduler's own count); 0 where the system does not keep it.
qint64 waitedForACore() {
    QFile stats(QStringLiteral("/proc/thread-self/schedstat"));
    if (!stats.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stats.readAll().split(' ');
    return fields.size() >= 2 ? fields[1].toLongLong() : 0;
}

// One click on "Afdrukken", watched until its outcome: the button is available again.
struct Watched {
    qint64 elapsed = 0; // milliseconds from the click
    // The longest the event loop went without a turn, in milliseconds, less what the thread spent
    // waiting for a core of a busy machine: the time the program itself held the screens up, by
    // working or by waiting on something. (On a ship's PC as busy as the test machine, the rest is
    // the machine's, and no program can give it back.)
    qint64 longestGap = 0;
    qint64 longestWall = 0; // the same, as the clock on the wall saw it
    QString captionDuring;
    QString captionAfter;
    bool busyCursorDuring = false;
    bool busyCursorAfter = false;
    QStringList said;
};

Watched clickPrint(GuiFixture& f, const QString& role) {
    QWidget& screen = f.screen(role);
    QAbstractButton* print = f.button(role + QStringLiteral(".print"));
    Watched w;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 waitedLast = waitedForACore();
    QEventLoop loop;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.elapsed();
        const qint64 waited = waitedForACore();
        w.longestWall = std::max(w.longestWall, now - last);
        w.longestGap = std::max(w.longestGap, now - last - (waited - waitedLast) / 1000000);
        last = now;
        waitedLast = waited;
        if (print->isEnabled() || now > 30000)
            loop.quit();
    });
    clock.start();
    QTest::mouseClick(print, Qt::LeftButton);
    w.captionDuring = screen.windowTitle();
    w.busyCursorDuring = screen.testAttribute(Qt::WA_SetCursor) && screen.cursor().shape() == Qt::BusyCursor;
    ticker.start(5);
    loop.exec();
    w.elapsed = clock.elapsed();
    w.captionAfter = screen.windowTitle();
    w.busyCursorAfter = screen.cursor().shape() == Qt::BusyCursor;
    for (const RecordedMessage& message : f.messages)
        w.said << message.text;
    f.messages.clear();
    return w;
}

// Both screens hold a calculation: the worked ETA passage, and 6 December 08.00 to 15.00, 100 miles.
void calculateBoth(GuiFixture& f) {
    f.screens.menu().showCentred();
    f.run(QStringLiteral("menu.etaCalculator"));
    GuiFixture::fillWorkedPassage(f.screens.etaCalculator(), QLocale::c());
    f.run(QStringLiteral("etaCalculator.calculate etaResults.menu menu.speedCalculator"));
    const auto& c = f.screens.speedCalculator().controls();
    c.departureDate->setDate(QDate(2026, 12, 6));
    c.arrivalDate->setDate(QDate(2026, 12, 6));
    c.departureTime->setText(QStringLiteral("08.00"));
    c.arrivalTime->setText(QStringLiteral("15.00"));
    c.timeDifference->setText(QStringLiteral("0"));
    c.distance->setText(QStringLiteral("100"));
    f.run(QStringLiteral("speedCalculator.calculate"));
    f.screens.show(f.screens.etaResults());
}

const char* ProgramChild = "KOERSWACHT_TEST_PROGRAM";
const char* ProgramPrintsOnce = "KOERSWACHT_TEST_PRINT_ONCE";

// The program as main() runs it, printing the ETA report once; says the message it was told, or
// "printed", on its standard output, and ends.
int runProgramPrintingOnce(char* programName) {
    QTimer print;
    print.setSingleShot(true);
    return RunProgram(programName, [&print](Screens& screens) {
        screens.setMessageSink([&screens](QWidget*, const QString&, const QString& text, QMessageBox::Icon) {
            std::printf("%s\n", qPrintable(text));
            std::fflush(stdout);
            screens.endProgram();
        });
        QObject::connect(&print, &QTimer::timeout, &screens, [&screens] {
            screens.menu().controls().etaCalculator->click();
            GuiFixture::fillWorkedPassage(screens.etaCalculator(), QLocale::c());
            screens.etaCalculator().controls().calculate->click();
            screens.etaResults().controls().print->click();
        });
        print.start(0);
    });
}

// This test program, to be started as the program `role` names, printing on `server`.
void asChild(QProcess& program, const char* role, const QByteArray& server) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(role), QStringLiteral("1"));
    environment.insert(QStringLiteral("CUPS_SERVER"), QString::fromLatin1(server));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
}

struct PageSize {
    double width = 0;
    double height = 0;
};

// The first page's size in points, and the words on it with their boxes, of a PDF document.
struct ReadPdf {
    PageSize page;
    struct Word {
        QString text;
        double xMax;
        double height;
    };
    std::vector<Word> words;
};

ReadPdf readPdf(const QByteArray& document) {
    ReadPdf read;
    QTemporaryFile file;
    if (!file.open())
        return read;
    file.write(document);
    file.close();
    const QString info = run(QStringLiteral("pdfinfo"), {file.fileName()});
    const qsizetype at = info.indexOf(QStringLiteral("Page size:"));
    const QStringList size = info.mid(at + 10, info.indexOf(u'\n', at) - at - 10).simplified().split(u' ');
    if (at >= 0 && size.size() >= 3) {
        read.page.width = size[0].toDouble();
        read.page.height = size[2].toDouble();
    }
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file.fileName(), QStringLiteral("-")});
    for (const QString& line : html.split(u'\n')) {
        if (!line.trimmed().startsWith(QStringLiteral("<word")))
            continue;
        const auto value = [&line](const QString& name) {
            const qsizetype from = line.indexOf(name + QStringLiteral("=\"")) + name.size() + 2;
            return line.mid(from, line.indexOf(u'"', from) - from).toDouble();
        };
        const QString text = line.section(u'>', 1).section(u'<', 0, 0);
        read.words.push_back({text, value(QStringLiteral("xMax")),
                              value(QStringLiteral("yMax")) - value(QStringLiteral("yMin"))});
    }
    return read;
}

// The program as main() runs it, with a report stuck on a silent server when "Einde Programma" is
// clicked. Says "ending" on its standard output just before the click.
int runProgramWithAStuckReport(char* programName) {
    QTimer print;
    QTimer end;
    print.setSingleShot(true);
    end.setSingleShot(true);
    return RunProgram(programName, [&print, &end](Screens& screens) {
        EtaResults& results = screens.etaResults();
        QObject::connect(&print, &QTimer::timeout, &results, [&screens, &results, &end] {
            screens.show(results);
            results.controls().print->click();
            end.start(300);
        });
        QObject::connect(&end, &QTimer::timeout, &results, [&results] {
            std::printf("%s\n", PrintWorkers::workersRunning() > 0 ? "ending" : "not printing");
            std::fflush(stdout);
            results.controls().endProgram->click();
        });
        print.start(0);
    });
}

} // namespace

Q_DECLARE_METATYPE(FakePrintServer::Kind)

class TestPrintServers final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void oneOutcomeInTime_data();
    void oneOutcomeInTime();
    void speedReportOverflowPrintsNothing();
    void pageIsTheClicks();
    void oneJobPerScreenAtATime();
    void nothingAfterTheEnd();
    void programEndsWithAJobStuck();
    void refusedJobThenAccepted();
    void hostileServers_data();
    void hostileServers();
    void queueStates_data();
    void queueStates();
    void noOtherUserGetsThrough();
    void namesWithinTheDeadline();
    void passwordNeverAskedOnTheTerminal();
    void paper_data();
    void paper();
    void secondEnterPressesNothingElse_data();
    void secondEnterPressesNothingElse();
    void outcomeIsAnnounced_data();
    void outcomeIsAnnounced();
    void usersFoldersDoNotMatter_data();
    void usersFoldersDoNotMatter();
};

void TestPrintServers::initTestCase() {
    QVERIFY2(!pdfFolder().isEmpty() && testScheduler().startsWith('/'),
             "needs the private test printer: eval \"$(scripts/cups-start.sh)\"");
    QLocale::setDefault(QLocale::c());
}

void TestPrintServers::oneOutcomeInTime_data() {
    QTest::addColumn<FakePrintServer::Kind>("kind");
    QTest::addColumn<int>("delay");
    QTest::addColumn<bool>("rejecting");
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("atLeast");
    using Kind = FakePrintServer::Kind;
    // A server that never answers is waited for, but no longer than 10 seconds.
    QTest::newRow("silent server") << Kind::Silent << 0 << false << "etaResults" << NotAnswering << 8500;
    QTest::newRow("answers once, then silent")
        << Kind::AnswersOnce << 0 << false << "speedCalculator" << NotAnswering << 8500;
    // The whole document went; the answer to it never came in time: it may print yet.
    QTest::newRow("holds its answer to the document")
        << Kind::Prints << 12000 << false << "etaResults" << MaybePrinted << 8500;
    QTest::newRow("slow, then refusing") << Kind::Slow << 2000 << true << "etaResults" << Refusing << 2000;
    QTest::newRow("closes every connection")
        << Kind::ClosesAtOnce << 0 << false << "etaResults" << Unreachable << 0;
    QTest::newRow("refuses the job's second connection")
        << Kind::OneConnection << 0 << false << "speedCalculator" << Unreachable << 0;
    // No server object: the address of a port where nothing listens.
    QTest::newRow("closed port") << Kind::Silent << -1 << false << "speedCalculator" << Unreachable << 0;
    QTest::newRow("no default printer, ETA report")
        << Kind::NoDefault << 0 << false << "etaResults" << NoDefault << 0;
    QTest::newRow("no default printer, speed report")
        << Kind::NoDefault << 0 << false << "speedCalculator" << NoDefault << 0;
}

void TestPrintServers::oneOutcomeInTime() {
    QFETCH(FakePrintServer::Kind, kind);
    QFETCH(int, delay);
    QFETCH(bool, rejecting);
    QFETCH(QString, screen);
    QFETCH(QString, message);
    QFETCH(int, atLeast);
    if (atLeast > 8000 && waitsRunApart()) // waits out the whole time allowed
        QSKIP("runs as a test of its own");
    const bool closedPort = delay < 0;
    FakePrintServer server(kind, {.delay = std::chrono::milliseconds(std::max(delay, 0))});
    QVERIFY(server.listening());
    if (rejecting)
        QVERIFY(lpadmin("cupsreject"));
    const auto accept = qScopeGuard([rejecting] {
        if (rejecting)
            lpadmin("cupsaccept");
    });
    // Only a server that passes requests on can bring a job to the test printer's queue. With the
    // others the message tells, and the queue is not counted: the printing tests may use it meanwhile.
    const bool passesOn = kind == FakePrintServer::Kind::Slow;
    const int jobsBefore = passesOn ? jobsTaken() : 0;
    GuiFixture f;
    calculateBoth(f);
    f.screens.show(f.screen(screen));
    const QString caption = f.screen(screen).windowTitle();
    Watched w;
    {
        const UsingServer using_(closedPort ? FakePrintServer::closedPort() : server.address());
        w = clickPrint(f, screen);
    }
    QCOMPARE(w.said, QStringList{message});
    // No later than the server's own delays allow, and never after the deadline.
    const qint64 atMost = atLeast > 8000 ? 10000 : atLeast + 6000;
    QVERIFY2(w.elapsed >= atLeast && w.elapsed <= atMost, qPrintable(QString::number(w.elapsed)));
    QVERIFY2(
        w.longestGap <= 100,
        qPrintable(
            QStringLiteral("%1 ms without a turn (%2 ms on the wall)").arg(w.longestGap).arg(w.longestWall)));
    // While it printed the screen said so, in its caption and with the busy cursor; not after.
    QCOMPARE(w.captionDuring, caption + QStringLiteral(" \u2013 bezig met afdrukken\u2026"));
    QVERIFY(w.busyCursorDuring);
    QCOMPARE(w.captionAfter, caption);
    QVERIFY(!w.busyCursorAfter);
    if (passesOn)
        QCOMPARE(jobsTaken(), jobsBefore);
    qInfo("%s: outcome after %lld ms, longest event-loop gap %lld ms (%lld ms on the wall)",
          QTest::currentDataTag(), static_cast<long long>(w.elapsed), static_cast<long long>(w.longestGap),
          static_cast<long long>(w.longestWall));
}

void TestPrintServers::speedReportOverflowPrintsNothing() {
    // More than 32767 steaming hours do not split into 16-bit hours: that is found at the click,
    // before any print job exists.
    GuiFixture f;
    f.screens.menu().showCentred();
    f.run(QStringLiteral("menu.speedCalculator"));
    SpeedCalculator& speed = f.screens.speedCalculator();
    GuiFixture::fillWorkedSpeed(speed, QLocale::c());
    speed.controls().arrivalDate->setDate(QDate(2030, 12, 7));
    f.run(QStringLiteral("speedCalculator.calculate"));
    QVERIFY(f.messages.empty());
    const QString caption = speed.windowTitle();
    f.run(QStringLiteral("speedCalculator.print"));
    QCOMPARE(f.messages.size(), size_t(1));
    QVERIFY2(f.messages[0].text.contains(u"te groot"), qPrintable(f.messages[0].text));
    QCOMPARE(PrintWorkers::workersRunning(), 0);
    QVERIFY(speed.controls().print->isEnabled());
    QCOMPARE(speed.windowTitle(), caption);
}

void TestPrintServers::pageIsTheClicks() {
    // The server's answer to each document held back 2 s, the rest passed on at once: both reports
    // are underway for seconds, well inside the time allowed, while the user goes on calculating.
    FakePrintServer slow(FakePrintServer::Kind::HoldsDocument, {.delay = std::chrono::milliseconds(2000)});
    removePdfs();
    GuiFixture f;
    calculateBoth(f);
    const auto& speed = f.screens.speedCalculator().controls();
    const auto& results = f.screens.etaResults().controls();
    {
        const UsingServer using_(slow.address());
        f.run(QStringLiteral("speedCalculator.print etaResults.print"));
        // Another passage, another date-line choice, another time difference; another ETA table.
        speed.departureTime->setText(QStringLiteral("06.00"));
        speed.arrivalDate->setDate(QDate(2026, 12, 7));
        speed.arrivalTime->setText(QStringLiteral("02.00"));
        speed.distance->setText(QStringLiteral("300"));
        f.run(QStringLiteral("speedCalculator.calculate speedCalculator.dateLineDayForward"));
        speed.timeDifference->setText(QStringLiteral("5"));
        f.run(QStringLiteral("etaResults.newCalculation"));
        f.screens.etaCalculator().controls().startSpeed->setText(QStringLiteral("20"));
        f.run(QStringLiteral("etaCalculator.calculate"));
        QCOMPARE(results.speed[0]->text().trimmed(), QStringLiteral("20.00"));
        QCOMPARE(speed.averageSpeed->text(), QStringLiteral("15.00"));
        // All of that while both reports were still on their way.
        QVERIFY(!speed.print->isEnabled() && !results.print->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(speed.print->isEnabled() && results.print->isEnabled(), 15000);
    }
    QCOMPARE(f.messages.size(), size_t(0));
    QCOMPARE(pageLines(QStringLiteral("SpeedCalculator Resultaten")),
             (QStringList{QStringLiteral("SpeedCalculator Resultaten"),
                          QStringLiteral("Vertrek datum en tijd 06-12-2026 8:00"),
                          QStringLiteral("Aankomst datum en tijd 06-12-2026 15:00"),
                          QStringLiteral("Datumgrens Correctie 0"), QStringLiteral("Tijdsverschil 0"),
                          QStringLiteral("Stoom tijd 7:00"), QStringLiteral("Gemiddelde snelheid = 14.28")}));
    const QStringList eta = pageLines(QStringLiteral("ETA Calculator Resultaten"));
    QCOMPARE(eta.size(), 6 + EtaRowCount);
    QCOMPARE(eta[6], QStringLiteral("10.00 Friday 01-03-2002 21:00"));
    QCOMPARE(eta.last(), QStringLiteral("60.00 Friday 01-03-2002 11:00"));
}

void TestPrintServers::oneJobPerScreenAtATime() {
    FakePrintServer slow(FakePrintServer::Kind::HoldsDocument, {.delay = std::chrono::milliseconds(1000)});
    removePdfs();
    const int jobsBefore = jobsTaken();
    GuiFixture f;
    calculateBoth(f);
    QAbstractButton* print = f.screens.etaResults().controls().print;
    {
        const UsingServer using_(slow.address());
        f.run(QStringLiteral("etaResults.print"));
        QVERIFY(!print->isEnabled());
        // A second click, and the keys that press a button, on the same screen: no second job.
        f.run(QStringLiteral("etaResults.print"));
        QTest::keyClick(&f.screens.etaResults(), Qt::Key_Space);
        QTest::keyClick(&f.screens.etaResults(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(print->isEnabled(), 15000);
    }
    QVERIFY2(f.messages.empty(), f.messages.empty() ? "" : qPrintable(f.messages.front().text));
    QCOMPARE(pageLines(QStringLiteral("ETA Calculator Resultaten")).size(), 6 + EtaRowCount);
    QCOMPARE(jobsTaken(), jobsBefore + 1);
    QCOMPARE(QDir(pdfFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files).size(), 1);
}

void TestPrintServers::nothingAfterTheEnd() {
    if (waitsRunApart())
        QSKIP("runs as a test of its own");
    FakePrintServer silent(FakePrintServer::Kind::Silent);
    GuiFixture f;
    calculateBoth(f);
    {
        const UsingServer using_(silent.address());
        f.run(QStringLiteral("etaResults.print etaResults.endProgram"));
        QCOMPARE(f.ended, 1);
        QTest::qWait(int(PrintOutcomeWithin.count()) + 1000);
    }
    QCOMPARE(f.messages.size(), size_t(0));
}

void TestPrintServers::programEndsWithAJobStuck() {
    FakePrintServer silent(FakePrintServer::Kind::Silent);
    // What the program leaves behind comes to this process: its orphans, and its users' folders.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    const auto reaper = qScopeGuard([] { ::prctl(PR_SET_CHILD_SUBREAPER, 0); });
    const QTemporaryDir folders;
    QProcess program;
    asChild(program, ProgramChild, silent.address());
    QProcessEnvironment environment = program.processEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, folders.path());
    environment.insert(u"TMPDIR"_s, folders.path());
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(program.waitForStarted());
    QElapsedTimer clock;
    while (!program.canReadLine() && program.state() == QProcess::Running)
        program.waitForReadyRead(100);
    clock.start();
    const QByteArray said = program.readLine().trimmed();
    QVERIFY(program.waitForFinished(5000));
    const qint64 took = clock.elapsed();
    QCOMPARE(said, QByteArray("ending"));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(took < 1000, qPrintable(QStringLiteral("ended %1 ms after the click").arg(took)));
    // Its helper ended with it: the orphan that came to this process was killed, and is reaped
    // here; one still running would keep this waiting.
    long long helpers = 0;
    const auto allReaped = [&helpers] {
        pid_t pid = 0;
        while ((pid = ::waitpid(-1, nullptr, WNOHANG)) > 0)
            ++helpers;
        return pid < 0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(allReaped(), 2000);
    QCOMPARE(QDir(folders.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    qInfo("the program ended %lld ms after \"Einde Programma\", %lld helper(s) with it",
          static_cast<long long>(took), helpers);
}

void TestPrintServers::refusedJobThenAccepted() {
    removePdfs();
    QVERIFY(lpadmin("cupsreject"));
    const auto accept = qScopeGuard([] { lpadmin("cupsaccept"); });
    GuiFixture f;
    calculateBoth(f);
    QCOMPARE(clickPrint(f, QStringLiteral("etaResults")).said, QStringList{Refusing});
    QVERIFY(lpadmin("cupsaccept"));
    QCOMPARE(clickPrint(f, QStringLiteral("etaResults")).said, QStringList());
    QCOMPARE(pageLines(QStringLiteral("ETA Calculator Resultaten")).size(), 6 + EtaRowCount);
}

void TestPrintServers::usersFoldersDoNotMatter_data() {
    // Run with /tmp full, and folders of the test's own made odd (tests/CMakeLists.txt).
    const QByteArray odd = qgetenv("KOERSWACHT_ODD_FOLDERS");
    const QByteArray full = qgetenv("KOERSWACHT_FULL_TMP");
    QTest::addColumn<QByteArray>("runtime"); // XDG_RUNTIME_DIR; unset where empty
    QTest::addColumn<QByteArray>("temporary");
    QTest::newRow("no runtime folder") << QByteArray() << full;
    QTest::newRow("another user's runtime folder") << odd + "/theirs" << full;
    QTest::newRow("a runtime folder not writable") << odd + "/readonly" << full;
    QTest::newRow("a file for a runtime folder") << odd + "/file" << full;
    QTest::newRow("a file for a temporary folder") << QByteArray("/nonexistent") << odd + "/file";
}

void TestPrintServers::usersFoldersDoNotMatter() {
    QFETCH(QByteArray, runtime);
    QFETCH(QByteArray, temporary);
    if (qEnvironmentVariableIsEmpty("KOERSWACHT_ODD_FOLDERS"))
        QSKIP("runs with /tmp full (tests/CMakeLists.txt)");
    QFile probe(QString::fromLocal8Bit(qgetenv("KOERSWACHT_FULL_TMP")) + QStringLiteral("/probe"));
    const QByteArray filler(qsizetype(64) * 1024, 'x');
    QVERIFY(!probe.open(QIODevice::WriteOnly) || probe.write(filler) < filler.size() || !probe.flush());
    probe.remove();
    const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
    const auto back = qScopeGuard([&runtimeBefore] {
        qputenv("XDG_RUNTIME_DIR", runtimeBefore);
        qputenv("TMPDIR", qgetenv("KOERSWACHT_FULL_TMP"));
    });
    if (runtime.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", runtime);
    qputenv("TMPDIR", temporary);
    removePdfs();
    GuiFixture f;
    calculateBoth(f);
    QCOMPARE(clickPrint(f, QStringLiteral("speedCalculator")).said, QStringList());
    QCOMPARE(pageLines(QStringLiteral("SpeedCalculator Resultaten")).size(), 7);
}

void TestPrintServers::hostileServers_data() {
    QTest::addColumn<FakePrintServer::Kind>("answer");
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("within");
    QTest::addColumn<bool>("local");
    using Answer = FakePrintServer::Kind;
    QTest::newRow("refuses the document") << Answer::RefusesDocument << 0 << NotAccepted << 3000 << false;
    QTest::newRow("asks for a password") << Answer::Http << 401 << NeedsLogin << 3000 << false;
    // On a local socket libcups asks again, proving who prints: that retry cut off before the
    // document went.
    QTest::newRow("asks for a login, then drops the retry")
        << Answer::LoginThenDrops << 0 << Unreachable << 3000 << true;
    QTest::newRow("asks for an encrypted connection")
        << Answer::Http << 426 << NeedsEncryption << 3000 << false;
    // libcups follows it without end: cut off at the helper's limit, said as it is, at once.
    QTest::newRow("redirects to itself") << Answer::Http << 301
                                         << "De printer heeft het document niet aangenomen (de afdrukserver "
                                            "verwijst steeds door); er is niets "
                                            "afgedrukt."
                                         << 3000 << false;
    // Keeps libcups busy until the deadline stops it: it waits the whole time allowed.
    QTest::newRow("trickles its answer") << Answer::Trickles << 0 << NotAnswering << 10000 << false;
}

void TestPrintServers::hostileServers() {
    QFETCH(FakePrintServer::Kind, answer);
    QFETCH(int, httpStatus);
    QFETCH(QString, message);
    QFETCH(int, within);
    QFETCH(bool, local);
    if (within > 3000 && waitsRunApart())
        QSKIP("runs as a test of its own");
    FakePrintServer server(answer, {.httpStatus = httpStatus, .local = local});
    QVERIFY(server.listening());
    GuiFixture f;
    calculateBoth(f);
    Watched w;
    {
        UsingServer using_(server.address());
        const int files = entries("fd");
        w = clickPrint(f, QStringLiteral("etaResults"));
        QCOMPARE(w.said, QStringList{message});
        QVERIFY2(w.elapsed <= within, qPrintable(QString::number(w.elapsed)));
        // Once the user has been told, the worker lets go of the server within a second, whatever
        // the server does, and does not come back; every socket of the job is closed.
        QTRY_VERIFY_WITH_TIMEOUT(PrintWorkers::workersRunning() == 0 && server.connectionsOpen() == 0 &&
                                     entries("fd") == files,
                                 1000);
        const int made = server.connectionsMade();
        QVERIFY2(made <= 50, qPrintable(QString::number(made)));
        QTest::qWait(300);
        QCOMPARE(server.connectionsMade(), made);
    }
    QVERIFY(server.documents().empty());
    qInfo("%s: outcome after %lld ms, %d connections", QTest::currentDataTag(),
          static_cast<long long>(w.elapsed), server.connectionsMade());
}

void TestPrintServers::queueStates_data() {
    QTest::addColumn<QStringList>("setUp");
    QTest::addColumn<QStringList>("putBack");
    QTest::addColumn<QByteArray>("queue");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("said");
    const QStringList cancel{u"cancel|-a|PDF"_s, u"cupsenable|PDF"_s};
    QTest::newRow("stopped, with the administrator's reason")
        << QStringList{u"cupsdisable|-r|Papier op|PDF"_s} << cancel << QByteArray() << 1
        << QStringList{u"(Papier op)"_s, u"wacht in de wachtrij"_s};
    QTest::newRow("stopped, no reason given") << QStringList{u"cupsdisable|PDF"_s} << cancel << QByteArray()
                                              << 1 << QStringList{u"wacht in de wachtrij"_s};
    QTest::newRow("holding every job")
        << QStringList{u"lpadmin|-p|PDF|-o|job-hold-until-default=indefinite"_s}
        << QStringList{u"cancel|-a|PDF"_s, u"lpadmin|-p|PDF|-o|job-hold-until-default=no-hold"_s}
        << QByteArray() << 1 << QStringList{u"houdt het rapport vast"_s};
    QTest::newRow("refusing, with the administrator's reason")
        << QStringList{u"cupsreject|-r|Onderhoud|PDF"_s} << QStringList{u"cupsaccept|PDF"_s} << QByteArray()
        << 1 << QStringList{u"(Onderhoud)"_s, u"Er is niets afgedrukt"_s};
    // A server's reason is text, not markup that could hide what the message says.
    QTest::newRow("refusing, with markup for a reason")
        << QStringList{u"cupsreject|-r|<b>Onderhoud</b>)<br><br><b>Het rapport is toch afgedrukt.</b><!--|PDF"_s}
        << QStringList{u"cupsaccept|PDF"_s} << QByteArray() << 1
        << QStringList{u"<b>Onderhoud</b>)<br><br>"_s, u"Er is niets afgedrukt"_s};
    // Print accounting: a queue that prints only for a user it knows, which libcups proves over the
    // scheduler's socket.
    QTest::newRow("printing only for a known user")
        << QStringList() << QStringList() << QByteArray("Boekhouding") << 1 << QStringList();
    // Queues whose device stands in for a printer gone wrong (scripts/cups-start.sh), clicked
    // twice: the second report joins the first in the queue.
    QTest::newRow("out of paper") << QStringList() << QStringList{u"cancel|-a|Papier"_s}
                                  << QByteArray("Papier") << 2
                                  << QStringList{u"wacht in de wachtrij"_s, u"(Papier op in lade 1)"_s};
    QTest::newRow("a device that fails")
        << QStringList() << QStringList{u"cancel|-a|Storing"_s} << QByteArray("Storing") << 2
        << QStringList{u"houdt het rapport vast"_s, u"(kan niet verzenden)"_s};
    QTest::newRow("a device gone") << QStringList() << QStringList{u"cancel|-a|Weg"_s} << QByteArray("Weg")
                                   << 2
                                   << QStringList{u"wacht in de wachtrij"_s,
                                                  u"(De printer antwoordt niet)"_s};
    QTest::newRow("a class whose one member is stopped")
        << QStringList() << QStringList{u"cancel|-a|Klas"_s} << QByteArray("Klas") << 2
        << QStringList{u"wacht in de wachtrij"_s};
    // Refused by the queue's policy, each said as what it is, with the server's own words.
    QTest::newRow("quota used up") << QStringList{u"lp|-d|Quotum|/etc/hostname"_s}
                                   << QStringList{u"cancel|-a|-x|Quotum"_s} << QByteArray("Quotum") << 1
                                   << QStringList{u"quotum"_s, u"(Quota limit reached.)"_s,
                                                  u"niets afgedrukt"_s};
    QStringList fill;
    for (int job = 0; job < 20; ++job)
        fill << u"lp|-d|Vol|/etc/hostname"_s;
    QTest::newRow("queue full") << fill << QStringList{u"cancel|-a|-x|Vol"_s} << QByteArray("Vol") << 1
                                << QStringList{u"is vol"_s, u"niets afgedrukt"_s};
    QTest::newRow("for another group only")
        << QStringList() << QStringList() << QByteArray("Groep") << 1
        << QStringList{u"laat u niet afdrukken"_s, u"(Not allowed to print.)"_s, u"niets afgedrukt"_s};
}

void TestPrintServers::queueStates() {
    QFETCH(QStringList, setUp);
    QFETCH(QStringList, putBack);
    QFETCH(QByteArray, queue);
    QFETCH(int, clicks);
    QFETCH(QStringList, said);
    onTestScheduler(setUp);
    const auto back = qScopeGuard([&putBack] {
        onTestScheduler(putBack);
        qunsetenv("LPDEST");
    });
    if (!queue.isEmpty())
        qputenv("LPDEST", queue);
    removePdfs();
    GuiFixture f;
    calculateBoth(f);
    for (int click = 0; click < clicks; ++click) {
        const Watched w = clickPrint(f, QStringLiteral("etaResults"));
        QVERIFY2(w.said.size() == (said.isEmpty() ? 0 : 1), qPrintable(w.said.join(u"|")));
        for (const QString& part : said)
            QVERIFY2(w.said[0].contains(part), qPrintable(w.said[0]));
        // The scheduler's own words for a state are no reason.
        for (const QString& message : w.said)
            QVERIFY2(!message.contains(u"Paused") && !message.contains(u"Rejecting"), qPrintable(message));
        qInfo("%s, click %d: %lld ms: %s", QTest::currentDataTag(), click + 1,
              static_cast<long long>(w.elapsed), qPrintable(w.said.value(0, u"printed"_s)));
    }
    if (said.isEmpty())
        QCOMPARE(pageLines(QStringLiteral("ETA Calculator Resultaten")).size(), 6 + EtaRowCount);
    else
        QCOMPARE(MakeMessageBox(nullptr, u"Koerswacht"_s, said[0], QMessageBox::Warning)->textFormat(),
                 Qt::PlainText);
}

void TestPrintServers::noOtherUserGetsThrough() {
    // A report underway for seconds, its helper waiting on the server: nothing of the program's
    // listens meanwhile (but the fake server), and the user nobody opens none of its descriptors or
    // its helper's pipes.
    FakePrintServer slow(FakePrintServer::Kind::HoldsDocument, {.delay = std::chrono::milliseconds(3000)});
    GuiFixture f;
    calculateBoth(f);
    const UsingServer using_(slow.address());
    f.run(QStringLiteral("etaResults.print"));
    QTRY_VERIFY_WITH_TIMEOUT(slow.connectionsOpen() > 0 && !startedProcesses().isEmpty(), 5000);
    const Descriptors d = descriptors(slow.listener());
    QCOMPARE(d.listening, QStringList());
    QCOMPARE(openedByNobody(d.paths), 0);
    QTRY_VERIFY_WITH_TIMEOUT(f.screens.etaResults().controls().print->isEnabled(), 15000);
    QVERIFY2(f.messages.empty(), f.messages.empty() ? "" : qPrintable(f.messages.front().text));
    qInfo("%lld descriptors, none listening, none opened by nobody", static_cast<long long>(d.paths.size()));
}

void TestPrintServers::namesWithinTheDeadline() {
    // With the test's own name server, hosts file and lookup modules (tests/CMakeLists.txt): "dns"
    // with a name server that never answers, or a module that takes 20 s, as mdns4_minimal and
    // resolve can.
    const QByteArray modules = qgetenv("KOERSWACHT_TEST_NAMES");
    if (modules.isEmpty())
        QSKIP("runs with the test's own name server and hosts file (tests/CMakeLists.txt)");
    GuiFixture f;
    calculateBoth(f);
    const int nameServer = ::socket(AF_INET, SOCK_DGRAM, 0);
    const auto closeNameServer = qScopeGuard([nameServer] { ::close(nameServer); });
    sockaddr_in at{AF_INET, htons(53), {htonl(0x7f000002)}, {}};
    QVERIFY(modules != "dns" || ::bind(nameServer, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0);
    // Each click one outcome in time, and nothing of it left: no process, thread or open file.
    {
        const UsingServer using_("kw-stil.test:631");
        const int threads = entries("task");
        const int files = entries("fd");
        for (int click = 1; click <= 5; ++click) {
            const Watched w = clickPrint(f, QStringLiteral("speedCalculator"));
            QCOMPARE(w.said, QStringList{Unreachable});
            QVERIFY2(w.elapsed <= 10000, qPrintable(QString::number(w.elapsed)));
            QTRY_VERIFY_WITH_TIMEOUT(startedProcesses().isEmpty() && PrintWorkers::workersRunning() == 0,
                                     1000);
            QCOMPARE(entries("task"), threads);
            QCOMPARE(entries("fd"), files);
            qInfo("%s, click %d: outcome after %lld ms; then %d threads, %d files, no helper",
                  modules.constData(), click, static_cast<long long>(w.elapsed), threads, files);
        }
    }
}

void TestPrintServers::passwordNeverAskedOnTheTerminal() {
    // Started from a terminal, the program would have libcups ask for a password there and wait
    // for it. Here the child has a terminal of its own, which the test reads.
    FakePrintServer server(FakePrintServer::Kind::Http, {.httpStatus = 401});
    int terminal = -1;
    int child = -1;
    QVERIFY(::openpty(&terminal, &child, nullptr, nullptr, nullptr) == 0);
    const auto closeTerminal = qScopeGuard([&] {
        ::close(terminal);
        if (child >= 0)
            ::close(child);
    });
    QProcess program;
    asChild(program, ProgramPrintsOnce, server.address());
    program.setChildProcessModifier([child] {
        ::setsid();
        ::ioctl(child, TIOCSCTTY, 0);
    });
    program.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(program.waitForStarted());
    ::close(child);
    child = -1;
    QVERIFY(program.waitForFinished(15000));
    const QString said = QString::fromUtf8(program.readAllStandardOutput()).trimmed();
    QByteArray onTerminal;
    ::fcntl(terminal, F_SETFL, O_NONBLOCK);
    char buffer[512];
    for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;)
        onTerminal.append(buffer, n);
    QVERIFY2(!onTerminal.contains("assword"), onTerminal.constData());
    QCOMPARE(said, NeedsLogin);
}

void TestPrintServers::paper_data() {
    QTest::addColumn<QByteArray>("mediaDefault");
    QTest::addColumn<QByteArrayList>("supported");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    const QByteArrayList both{"iso_a4_210x297mm", "na_letter_8.5x11in"};
    QTest::newRow("A4") << QByteArray("iso_a4_210x297mm") << both << "nl_NL" << 595.3 << 841.9;
    // A5 as a queue with a size of its own reports it: upright on that paper, at full size.
    QTest::newRow("custom A5") << QByteArray("custom_148.52x209.9mm")
                               << (both + QByteArrayList{"custom_148.52x209.9mm"}) << "nl_NL" << 420.5
                               << 595.0;
    QTest::newRow("envelope DL, narrower than the report")
        << QByteArray("iso_dl_110x220mm") << QByteArrayList{"iso_dl_110x220mm"} << "nl_NL" << 311.8 << 623.6;
    QTest::newRow("no default, US locale: Letter") << QByteArray() << both << "en_US" << 612.0 << 792.0;
    QTest::newRow("no default, Dutch locale: A4") << QByteArray() << both << "nl_NL" << 595.3 << 841.9;
    QTest::newRow("no default, only Letter to be had")
        << QByteArray() << QByteArrayList{"na_letter_8.5x11in"} << "nl_NL" << 612.0 << 792.0;
}

void TestPrintServers::paper() {
    QFETCH(QByteArray, mediaDefault);
    QFETCH(QByteArrayList, supported);
    QFETCH(QString, locale);
    QFETCH(double, width);
    QFETCH(double, height);
    FakePrintServer server(FakePrintServer::Kind::Prints);
    server.mediaDefault = mediaDefault;
    server.mediaSupported = supported;
    QLocale::setDefault(QLocale(locale));
    const auto back = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
    GuiFixture f;
    calculateBoth(f);
    {
        UsingServer using_(server.address());
        QCOMPARE(clickPrint(f, QStringLiteral("etaResults")).said, QStringList());
    }
    QCOMPARE(server.documents().size(), size_t(1));
    const ReadPdf pdf = readPdf(server.documents().front());
    QVERIFY2(std::abs(pdf.page.width - width) < 1.5 && std::abs(pdf.page.height - height) < 1.5,
             qPrintable(QStringLiteral("%1 x %2 pt").arg(pdf.page.width).arg(pdf.page.height)));
    // Every word on the paper, none cut off at its right edge; the title as large as the paper allows.
    int rows = 0;
    double titleHeight = 0;
    double right = 0;
    for (const ReadPdf::Word& word : pdf.words) {
        QVERIFY2(word.xMax <= pdf.page.width - 9.5, qPrintable(word.text)); // within the margin
        rows += word.text == u"01-03-2002" ? 1 : 0;
        right = std::max(right, word.xMax);
        if (word.text == u"Resultaten")
            titleHeight = word.height;
    }
    QCOMPARE(rows, 1 + EtaRowCount); // the departure and each row's arrival
    // Scaled down only on paper narrower than the report (about 475 pt), and never to the third of
    // its size that a page meant for other paper gets when it is fitted onto this one.
    QVERIFY2(titleHeight >= (pdf.page.width > 500 ? 17.0 : 10.0), qPrintable(QString::number(titleHeight)));
    qInfo("%s: %.1f x %.1f pt, title %.1f pt high, reaches %.1f pt", QTest::currentDataTag(), pdf.page.width,
          pdf.page.height, titleHeight, right);
}

void TestPrintServers::secondEnterPressesNothingElse_data() {
    QTest::addColumn<QString>("screen");
    QTest::newRow("ETA results") << "etaResults";
    QTest::newRow("speed calculator") << "speedCalculator";
}

void TestPrintServers::secondEnterPressesNothingElse() {
    QFETCH(QString, screen);
    FakePrintServer slow(FakePrintServer::Kind::HoldsDocument, {.delay = std::chrono::milliseconds(1500)});
    GuiFixture f;
    calculateBoth(f);
    QWidget& window = f.screen(screen);
    f.screens.show(window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QAbstractButton* print = f.button(screen + QStringLiteral(".print"));
    print->setFocus();
    QCOMPARE(QApplication::focusWidget(), print);
    const auto shown = [&f] {
        QStringList visible;
        for (const char* role : {"menu", "etaCalculator", "etaResults", "speedCalculator"})
            visible << (f.screen(QString::fromLatin1(role)).isVisible() ? QString::fromLatin1(role)
                                                                        : QString());
        return visible;
    };
    const QStringList before = shown();
    {
        const UsingServer using_(slow.address());
        QTest::keyClick(print, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!print->isEnabled(), 2000);
        // The same key again, where the keyboard focus is now: the report is underway, and
        // nothing else is pressed.
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : &window, Qt::Key_Return);
        QTest::qWait(300);
        QCOMPARE(shown(), before);
        QTRY_VERIFY_WITH_TIMEOUT(print->isEnabled(), 15000);
    }
    QVERIFY2(f.messages.empty(), f.messages.empty() ? "" : qPrintable(f.messages.front().text));
    // And the focus is back where the user left it.
    QVERIFY(print->hasFocus());
}

void TestPrintServers::outcomeIsAnnounced_data() {
    QTest::addColumn<FakePrintServer::Kind>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("movesOn"); // to the ETA calculator, before the outcome comes
    QTest::newRow("printed") << FakePrintServer::Kind::Prints << QString() << false;
    QTest::newRow("printed, the user gone on") << FakePrintServer::Kind::Prints << QString() << true;
    QTest::newRow("not accepted") << FakePrintServer::Kind::RefusesDocument << NotAccepted << false;
}

void TestPrintServers::outcomeIsAnnounced() {
    QFETCH(FakePrintServer::Kind, answer);
    QFETCH(QString, message);
    QFETCH(bool, movesOn);
    FakePrintServer server(answer);
    QVERIFY(server.listening());
    GuiFixture f;
    calculateBoth(f);
    // The message box itself, as the user gets it, closed as soon as it is up.
    std::vector<QWidget*> boxes;
    f.screens.setMessageSink(
        [&boxes](QWidget* owner, const QString& title, const QString& text, QMessageBox::Icon icon) {
            const std::unique_ptr<QMessageBox> box = MakeMessageBox(owner, title, text, icon);
            boxes.push_back(box.get());
            QTimer close;
            close.setSingleShot(true);
            QObject::connect(&close, &QTimer::timeout, box.get(), &QMessageBox::accept);
            close.start(50);
            box->exec();
        });
    QWidget& results = f.screen(QStringLiteral("etaResults"));
    f.screens.show(results);
    QVERIFY(QTest::qWaitForWindowActive(&results));
    QAbstractButton* print = f.button(QStringLiteral("etaResults.print"));
    print->setFocus();
    const AccessibleEvents events;
    {
        UsingServer using_(server.address());
        QTest::keyClick(print, Qt::Key_Space);
        if (movesOn) {
            f.screens.show(f.screen(u"etaCalculator"_s));
            f.screens.etaCalculator().controls().startSpeed->setFocus();
        }
        QTRY_VERIFY_WITH_TIMEOUT(print->isEnabled(), 10000);
    }
    const auto described = AccessibleEvents::about(print, QAccessible::DescriptionChanged);
    std::vector<HeardEvent> notified;
    for (const HeardEvent& event : AccessibleEvents::heard()) {
        if (event.type == QAccessible::ObjectShow && event.role == QAccessible::Notification)
            notified.push_back(event);
    }
    if (message.isEmpty()) {
        QVERIFY(boxes.empty());
        QCOMPARE(notified.size(), size_t(1));
        QCOMPARE(notified[0].name, QStringLiteral("Het rapport is naar de printer gestuurd."));
        // Heard where the user is: the voice of the window with the focus.
        QCOMPARE(qobject_cast<QWidget*>(notified[0].object)->window(), QApplication::focusWidget()->window());
        QCOMPARE(QApplication::focusWidget() == print, !movesOn);
    } else {
        // The box is said as it comes up: an alert, with the message as its text.
        QCOMPARE(boxes.size(), size_t(1));
        const auto shown = AccessibleEvents::about(boxes[0], QAccessible::ObjectShow);
        QCOMPARE(shown.size(), size_t(1));
        QCOMPARE(shown[0].role, QAccessible::AlertMessage);
        QCOMPARE(shown[0].value, message);
        QCOMPARE(AccessibleEvents::about(boxes[0], QAccessible::Alert).size(), size_t(1));
        QVERIFY(notified.empty()); // nothing says that it went well
    }
    // The button keeps its own description: an outcome is news once, not a label.
    for (const HeardEvent& event : described)
        QVERIFY2(!event.description.contains(u"gestuurd"), qPrintable(event.description));
}

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsSet(ProgramChild))
        return runProgramWithAStuckReport(argv[0]);
    if (qEnvironmentVariableIsSet(ProgramPrintsOnce))
        return runProgramPrintingOnce(argv[0]);
    testScheduler(); // before any test points the variable elsewhere
    QApplication app(argc, argv);
    TestPrintServers test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printservers.moc"
