// What the user is told about a print job: the answers of CUPS and of the Windows spooler, as
// recorded, turned into outcomes and Dutch messages; one job run against a print system that is
// played here; and the hand-over between the screens' thread and the workers.

#include "RecordingDevice.h"
#include "core/RunTimeError.h"
#include "print/Paper.h"
#include "print/PrintSystem.h"
#include "print/PrintVerdicts.h"
#ifdef Q_OS_WIN
#include "print/RefusalWatch.h"
#endif
#include "print/PrintWorkers.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QTest>

#include <cerrno>
#include <condition_variable>
#include <mutex>

using namespace kw;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(kw::PrintOutcome)
Q_DECLARE_METATYPE(kw::PrintResult)
Q_DECLARE_METATYPE(kw::CupsExchange)

namespace {

using Step = CupsExchange::Step;

// A print system played by the test: what each step answers, and how long it takes. Like the
// Windows spooler, it does not ask the deadline itself.
#ifdef Q_OS_WIN
class PlayedSystem final : public PrintSystem {
public:
    PrintResult found;
    PrintResult handed;
    bool openFails = false;
    bool drawingHandsOver = false; // the spooler's way: the document is the print system's from the start
    std::chrono::milliseconds finding{0};
    std::chrono::milliseconds drawing{0};
    std::shared_ptr<RecordingDevice> page = std::make_shared<RecordingDevice>();
    int opened = 0;
    int handOvers = 0;

    PrintResult findDefaultPrinter(const Deadline&) override {
        std::this_thread::sleep_for(finding);
        return found;
    }
    std::unique_ptr<TextDevice> openDocument(const QString&, const Deadline&,
                                             std::atomic<bool>& sent) override {
        if (openFails)
            throw RunTimeError(ErrorKind::Printer, {}, Expected::Nothing,
                               QStringLiteral("kan niet worden geopend"));
        ++opened;
        if (drawingHandsOver)
            sent = true;
        std::this_thread::sleep_for(drawing);
        return std::make_unique<Forwarding>(page);
    }
    PrintResult handOver(const Deadline&, std::atomic<bool>& sent) override {
        ++handOvers;
        sent = true;
        return handed;
    }

private:
    // The page a job draws on and owns, writing through to the recording the test reads.
    class Forwarding final : public TextDevice {
    public:
        explicit Forwarding(std::shared_ptr<RecordingDevice> to)
            : m_to(std::move(to)) {}
        void setFont(double pointSize, bool bold) override { m_to->setFont(pointSize, bold); }
        double averageCharWidth() const override { return m_to->averageCharWidth(); }
        double lineHeight() const override { return m_to->lineHeight(); }
        double textWidth(const QString& text) const override { return m_to->textWidth(text); }
        void drawText(double x, double y, const QString& text) override { m_to->drawText(x, y, text); }
        void touch() override { m_to->touch(); }
        void endDocument() override { m_to->endDocument(); }

    private:
        std::shared_ptr<RecordingDevice> m_to;
    };
};

#endif

PrintJob oneLine(const QString& text) {
    return {QStringLiteral("Proef"), [text](ReportPrinter& printer) {
                printer.print({PrintItem::text(text, Separator::EndOfLine)});
                printer.EndDocument();
            }};
}

#ifdef Q_OS_WIN
Deadline within(std::chrono::milliseconds span,
                std::shared_ptr<std::atomic<bool>> abandoned = std::make_shared<std::atomic<bool>>()) {
    return {Deadline::Clock::now() + span, std::move(abandoned)};
}

// A worker the test lets go of when it wants to.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    std::atomic<int> waiting = 0; // workers that have reached the gate
    void let() {
        const std::lock_guard lock(mutex);
        open = true;
        opened.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex);
        opened.wait(lock, [this] { return open; });
    }
};

class GatedSystem final : public PrintSystem {
public:
    explicit GatedSystem(std::shared_ptr<Gate> gate)
        : m_gate(std::move(gate)) {}
    PrintResult findDefaultPrinter(const Deadline&) override {
        ++m_gate->waiting;
        m_gate->wait();
        PrintResult ready;
        ready.printer = QStringLiteral("Brug");
        return ready;
    }
    std::unique_ptr<TextDevice> openDocument(const QString&, const Deadline&, std::atomic<bool>&) override {
        return std::make_unique<RecordingDevice>();
    }
    PrintResult handOver(const Deadline&, std::atomic<bool>& sent) override {
        sent = true;
        return {};
    }

private:
    std::shared_ptr<Gate> m_gate;
};

#endif
} // namespace

class TestPrintOutcomes final : public QObject {
    Q_OBJECT

private slots:
    void messages_data();
    void messages();
    void cups_data();
    void cups();
    void spoolerPrinter_data();
    void spoolerPrinter();
    void spoolerJob_data();
    void spoolerJob();
    void mediaSizes_data();
    void mediaSizes();
#ifdef Q_OS_WIN
    void jobDrawsThenHandsOver();
    void jobStopsAtTheFirstFailure();
    void jobGivenUpWhileDrawingIsNotHandedOver();
    void deadlinePassedWhileFindingOpensNothing();
    void givenUpAfterTheSpoolerHasTheDocument();
    void workerCountsUntilItsLastDestructor();
    void refusalHeardWhateverTheProgramLogs();
    void refusalTextIsQtsOwn();
    void spoolerDropsWhatWasGivenUp();
    void outcomeOnceWhenTheWorkerIsLate();
    void abandonedJobsAreNotHeardOf();
#else
    void helperOutcomes_data();
    void helperOutcomes();
#endif
};

void TestPrintOutcomes::messages_data() {
    // What the user must learn from each message: whether anything printed, and whose words why.
    QTest::addColumn<PrintResult>("result");
    QTest::addColumn<QStringList>("says");
    const auto make = [](PrintOutcome outcome, const char* reason = "", bool handedOver = false,
                         bool queued = false) {
        return PrintResult{outcome, QStringLiteral("Brug"), QString::fromUtf8(reason), handedOver, queued,
                           {}};
    };
    const QString nothing = QStringLiteral("niets afgedrukt");
    const QString maybe = QStringLiteral("mogelijk toch afgedrukt");
    QTest::newRow("printed: nothing to say") << make(PrintOutcome::Printed) << QStringList();
    QTest::newRow("not answering before the document went")
        << make(PrintOutcome::NotAnswering) << QStringList{nothing};
    QTest::newRow("not answering after it went")
        << make(PrintOutcome::NotAnswering, "", true) << QStringList{maybe};
    QTest::newRow("connection broken after it went")
        << make(PrintOutcome::ServerUnreachable, "", true) << QStringList{maybe};
    QTest::newRow("refusing, with a reason")
        << make(PrintOutcome::Refusing, "gepauzeerd")
        << QStringList{u"\u201CBrug\u201D"_s, u"(gepauzeerd)"_s, nothing};
    QTest::newRow("queued behind a printer that stopped")
        << make(PrintOutcome::Refusing, "papier op", true, true)
        << QStringList{u"(papier op)"_s, u"wacht in de wachtrij"_s};
    QTest::newRow("refused after the document went, not queued")
        << make(PrintOutcome::Refusing, "", true, false) << QStringList{nothing};
    QTest::newRow("held in the queue")
        << make(PrintOutcome::Held, "", true) << QStringList{u"houdt het rapport vast"_s};
    QTest::newRow("not accepted, with the spooler's reason")
        << make(PrintOutcome::NotAccepted, "verwijderd") << QStringList{u"(verwijderd)"_s, nothing};
}

void TestPrintOutcomes::messages() {
    QFETCH(PrintResult, result);
    QFETCH(QStringList, says);
    const QString message = PrintMessage(result);
    QCOMPARE(message.isEmpty(), says.isEmpty());
    for (const QString& part : says)
        QVERIFY2(message.contains(part), qPrintable(message));
    // Never both: a report either did not print, or may have.
    QVERIFY2(!(message.contains(u"niets afgedrukt") && message.contains(u"mogelijk")), qPrintable(message));
    QCOMPARE(message.contains(u"wachtrij"), result.queued || result.outcome == PrintOutcome::Held);
}

void TestPrintOutcomes::cups_data() {
    QTest::addColumn<CupsExchange>("exchange");
    QTest::addColumn<PrintOutcome>("outcome");
    const auto make = [](Step step, int connectError, int httpError, int ipp, bool accepting = true) {
        CupsExchange e;
        e.step = step;
        e.connectError = connectError;
        e.httpError = httpError;
        e.ippStatus = ipp;
        e.accepting = accepting;
        e.printer = QStringLiteral("PDF");
        return e;
    };
    QTest::newRow("ready") << make(Step::FindPrinter, 0, 0, 0) << PrintOutcome::Printed;
    QTest::newRow("job taken") << make(Step::HandOver, 0, 0, 0) << PrintOutcome::Printed;
    QTest::newRow("refused connection")
        << make(Step::FindPrinter, ECONNREFUSED, 0, 0) << PrintOutcome::ServerUnreachable;
    QTest::newRow("no socket") << make(Step::FindPrinter, ENOENT, 0, 0) << PrintOutcome::ServerUnreachable;
    QTest::newRow("connection timed out")
        << make(Step::FindPrinter, ETIMEDOUT, 0, 0) << PrintOutcome::NotAnswering;
    // libcups reports a dropped connection as "no default destination": the connection tells.
    QTest::newRow("dropped while asking for the default")
        << make(Step::FindPrinter, 0, EPIPE, 0x0406) << PrintOutcome::ServerUnreachable;
    QTest::newRow("reset while handing over")
        << make(Step::HandOver, 0, ECONNRESET, 0x0502) << PrintOutcome::ServerUnreachable;
    // Until the default destination is known, no printer is named.
    const auto unnamed = [](CupsExchange e) {
        e.printer.clear();
        return e;
    };
    QTest::newRow("no default destination")
        << unnamed(make(Step::FindPrinter, 0, 0, 0x0406)) << PrintOutcome::NoDefaultPrinter;
    // Steps that failed while the status libcups kept says success, as recorded from each branch:
    // never "printed".
    const auto failed = [](CupsExchange e, int httpStatus = 200) {
        e.failed = true;
        e.httpStatus = httpStatus;
        return e;
    };
    QTest::newRow("no destination, status still ok")
        << unnamed(failed(make(Step::FindPrinter, 0, 0, 0))) << PrintOutcome::NoDefaultPrinter;
    QTest::newRow("printer found, its description not (copyInfo null, ok)")
        << failed(make(Step::FindPrinter, 0, 0, 0)) << PrintOutcome::Refusing;
    QTest::newRow("job made without a number (ok, job-id 0), or its document not written")
        << failed(make(Step::HandOver, 0, 0, 0)) << PrintOutcome::NotAccepted;
    QTest::newRow("a status past the defined successes (0x0008)")
        << make(Step::HandOver, 0, 0, 0x0008) << PrintOutcome::NotAccepted;
    QTest::newRow("a status at the end of the successful range (0x00ff)")
        << make(Step::FindPrinter, 0, 0, 0x00ff) << PrintOutcome::Refusing;
    QTest::newRow("successful-ok-events-complete")
        << make(Step::HandOver, 0, 0, 0x0007) << PrintOutcome::Printed;
    // A server that wants a login or an encrypted connection says so, whatever libcups made of it.
    QTest::newRow("login asked for, none given")
        << unnamed(failed(make(Step::FindPrinter, 0, 0, 0x0406), 1000)) << PrintOutcome::NeedsLogin;
    QTest::newRow("401") << unnamed(failed(make(Step::FindPrinter, 0, 0, 0x0406), 401))
                         << PrintOutcome::NeedsLogin;
    QTest::newRow("not authenticated, said to the job")
        << make(Step::HandOver, 0, 0, 0x0402) << PrintOutcome::NeedsLogin;
    QTest::newRow("426") << unnamed(failed(make(Step::FindPrinter, 0, 0, 0x0406), 426))
                         << PrintOutcome::NeedsEncryption;
    QTest::newRow("upgrade required, libcups' own code")
        << unnamed(failed(make(Step::FindPrinter, 0, 0, 0x1002))) << PrintOutcome::NeedsEncryption;
    QTest::newRow("not accepting jobs, said with the printer")
        << make(Step::FindPrinter, 0, 0, 0, false) << PrintOutcome::Refusing;
    QTest::newRow("not accepting jobs, said to the job")
        << make(Step::HandOver, 0, 0, 0x0506) << PrintOutcome::Refusing;
    QTest::newRow("document refused") << make(Step::HandOver, 0, 0, 0x040a) << PrintOutcome::NotAccepted;
    const auto with = [](CupsExchange e, auto member) {
        e.*member = true;
        return e;
    };
    // What the printer, its class's members and the job say once the job is queued.
    const auto queued = [&make](int job, CupsPrinterState printer,
                                std::vector<CupsPrinterState> members = {}) {
        CupsExchange e = make(Step::HandOver, 0, 0, 0);
        e.jobState = job;
        e.printerState = std::move(printer);
        e.members = std::move(members);
        return e;
    };
    // Held, stopped, out of paper, gone, a class all stopped and the policy refusals are printed to
    // end to end (tst_printservers' queueStates); here what no test printer shows.
    QTest::newRow("busy with another job") << queued(3, {4, {u"none"_s}, {}}) << PrintOutcome::Printed;
    QTest::newRow("a warning is no reason to wait")
        << queued(5, {4, {u"media-low-warning"_s}, {}}) << PrintOutcome::Printed;
    QTest::newRow("done, whatever the printer says now")
        << queued(9, {5, {u"media-empty-error"_s}, {}}) << PrintOutcome::Printed;
    QTest::newRow("aborted") << queued(8, {3, {}, {}}) << PrintOutcome::NotAccepted;
    QTest::newRow("a class with a member that prints")
        << queued(3, {3, {}, {}}, {{5, {}, {}}, {3, {}, {}}}) << PrintOutcome::Printed;
    QTest::newRow("sent back without end")
        << with(make(Step::FindPrinter, 0, ECONNRESET, 0), &CupsExchange::exhausted)
        << PrintOutcome::NotAccepted;
    QTest::newRow("whole document sent, then no answer")
        << with(failed(make(Step::HandOver, 0, 0, 0)), &CupsExchange::handedOver)
        << PrintOutcome::NotAnswering;
}

void TestPrintOutcomes::cups() {
    QFETCH(CupsExchange, exchange);
    QFETCH(PrintOutcome, outcome);
    QCOMPARE(CupsVerdict(exchange).outcome, outcome);
}

void TestPrintOutcomes::spoolerPrinter_data() {
    QTest::addColumn<quint32>("status");
    QTest::addColumn<quint32>("attributes");
    QTest::addColumn<PrintOutcome>("outcome");
    QTest::addColumn<QString>("reason");
    using namespace spooler;
    QTest::newRow("printing something else") << 0x400u << 0u << PrintOutcome::Printed << "";
    QTest::newRow("use printer offline") << 0u << AttributeWorkOffline << PrintOutcome::Refusing
                                         << "staat op \u201Cprinter offline gebruiken\u201D";
    QTest::newRow("offline and in error: offline first")
        << (PrinterOffline | PrinterError) << 0u << PrintOutcome::Refusing << "offline";
    QTest::newRow("its server offline")
        << PrinterServerOffline << 0u << PrintOutcome::ServerUnreachable << "";
}

void TestPrintOutcomes::spoolerPrinter() {
    QFETCH(quint32, status);
    QFETCH(quint32, attributes);
    QFETCH(PrintOutcome, outcome);
    QFETCH(QString, reason);
    const PrintResult r = SpoolerPrinterVerdict(QStringLiteral("Brug"), status, attributes);
    QCOMPARE(r.outcome, outcome);
    QCOMPARE(r.reason, reason);
    QCOMPARE(r.printer, QStringLiteral("Brug"));
}

void TestPrintOutcomes::spoolerJob_data() {
    QTest::addColumn<bool>("inQueue");
    QTest::addColumn<quint32>("status");
    QTest::addColumn<bool>("verdict");
    QTest::addColumn<PrintOutcome>("outcome");
    QTest::addColumn<QString>("reason");
    using namespace spooler;
    QTest::newRow("gone from the queue: printed") << false << 0u << true << PrintOutcome::Printed << "";
    QTest::newRow("spooling: no verdict yet") << true << 0x8u << false << PrintOutcome::Printed << "";
    QTest::newRow("being deleted after an error")
        << true << (JobDeleting | JobError) << true << PrintOutcome::NotAccepted
        << "het is uit de wachtrij verwijderd";
    QTest::newRow("paper out") << true << (JobPaperOut | JobError) << true << PrintOutcome::Refusing
                               << "papier op";
}

void TestPrintOutcomes::spoolerJob() {
    QFETCH(bool, inQueue);
    QFETCH(quint32, status);
    QFETCH(bool, verdict);
    QFETCH(PrintOutcome, outcome);
    QFETCH(QString, reason);
    const std::optional<PrintResult> r = SpoolerJobVerdict(QStringLiteral("Brug"), inQueue, status);
    QCOMPARE(r.has_value(), verdict);
    if (!r)
        return;
    QCOMPARE(r->outcome, outcome);
    QCOMPARE(r->reason, reason);
    // A job that stopped in the queue waits there: the user is told so.
    QCOMPARE(r->queued, outcome == PrintOutcome::Refusing);
}

void TestPrintOutcomes::mediaSizes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSizeF>("size");
    // Sizes that print are read end to end (tst_printservers' paper); here what must not be read.
    QTest::newRow("a custom range's bound is no paper") << "custom_max_432x914mm" << QSizeF();
    QTest::newRow("a legacy name carries no size") << "A4" << QSizeF();
    QTest::newRow("no unit") << "iso_a4_210x297" << QSizeF();
    QTest::newRow("not a number") << "custom_wide_axbmm" << QSizeF();
    QTest::newRow("nothing") << "" << QSizeF();
}

void TestPrintOutcomes::mediaSizes() {
    QFETCH(QString, name);
    QFETCH(QSizeF, size);
    const std::optional<QSizeF> read = MediaSize(name);
    QCOMPARE(read.has_value(), !size.isEmpty());
    if (read) {
        QVERIFY(std::abs(read->width() - size.width()) < 0.01);
        QVERIFY(std::abs(read->height() - size.height()) < 0.01);
    }
}

#ifdef Q_OS_WIN
void TestPrintOutcomes::jobDrawsThenHandsOver() {
    PlayedSystem system;
    system.found.printer = QStringLiteral("Brug");
    std::atomic<bool> sent = false;
    const PrintResult r =
        RunPrintJob(system, oneLine(QStringLiteral("regel")), within(std::chrono::seconds(10)), sent);
    QCOMPARE(r.outcome, PrintOutcome::Printed);
    QCOMPARE(system.handOvers, 1);
    QVERIFY(sent);
    QVERIFY(system.page->find(QStringLiteral("regel")));
    QCOMPARE(system.page->documents, 1);
}

void TestPrintOutcomes::jobStopsAtTheFirstFailure() {
    PlayedSystem refusing;
    refusing.found.outcome = PrintOutcome::Refusing;
    std::atomic<bool> sent = false;
    QCOMPARE(
        RunPrintJob(refusing, oneLine(QStringLiteral("x")), within(std::chrono::seconds(10)), sent).outcome,
        PrintOutcome::Refusing);
    QVERIFY(refusing.page->texts.empty());
    QCOMPARE(refusing.handOvers, 0);

    PlayedSystem unopenable;
    unopenable.openFails = true;
    const PrintResult r =
        RunPrintJob(unopenable, oneLine(QStringLiteral("x")), within(std::chrono::seconds(10)), sent);
    QCOMPARE(r.outcome, PrintOutcome::NotAccepted);
    QCOMPARE(PrintMessage(r), QStringLiteral("kan niet worden geopend"));
    QCOMPARE(unopenable.handOvers, 0);
    QVERIFY(!sent);
}

void TestPrintOutcomes::jobGivenUpWhileDrawingIsNotHandedOver() {
    PlayedSystem slowPage;
    slowPage.drawing = std::chrono::milliseconds(200);
    const auto abandoned = std::make_shared<std::atomic<bool>>(false);
    std::atomic<bool> sent = false;
    std::thread giveUp([abandoned] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        *abandoned = true;
    });
    const PrintResult r = RunPrintJob(slowPage, oneLine(QStringLiteral("x")),
                                      within(std::chrono::seconds(10), abandoned), sent);
    giveUp.join();
    QCOMPARE(r.outcome, PrintOutcome::NotAnswering);
    QCOMPARE(slowPage.handOvers, 0);
    QVERIFY(!r.handedOver);
}

void TestPrintOutcomes::deadlinePassedWhileFindingOpensNothing() {
    // The spooler's calls take no time limit: one that returns after the deadline must not be
    // followed by a document, which on Windows would print after the user heard it did not.
    PlayedSystem slowSpooler;
    slowSpooler.finding = std::chrono::milliseconds(150);
    std::atomic<bool> sent = false;
    const PrintResult r =
        RunPrintJob(slowSpooler, oneLine(QStringLiteral("x")), within(std::chrono::milliseconds(50)), sent);
    QCOMPARE(r.outcome, PrintOutcome::NotAnswering);
    QCOMPARE(slowSpooler.opened, 0);
    QCOMPARE(slowSpooler.handOvers, 0);
    QVERIFY(!r.handedOver && !sent);
}

void TestPrintOutcomes::givenUpAfterTheSpoolerHasTheDocument() {
    // Drawing is the handing over: given up on while it draws, the report may print yet, and the
    // user is told so, by the worker and by the screens' own time limit alike.
    PlayedSystem spooler;
    spooler.drawingHandsOver = true;
    spooler.drawing = std::chrono::milliseconds(300);
    std::atomic<bool> sent = false;
    const PrintResult r =
        RunPrintJob(spooler, oneLine(QStringLiteral("x")), within(std::chrono::milliseconds(100)), sent);
    QCOMPARE(r.outcome, PrintOutcome::NotAnswering);
    QCOMPARE(spooler.opened, 1);
    QCOMPARE(spooler.handOvers, 0);
    QVERIFY(r.handedOver);

    PrintWorkers printing(
        [] {
            auto played = std::make_unique<PlayedSystem>();
            played->drawingHandsOver = true;
            played->drawing = std::chrono::milliseconds(600);
            return played;
        },
        std::chrono::milliseconds(300));
    std::vector<PrintResult> heard;
    printing.start(oneLine(QStringLiteral("x")),
                   [&heard](const PrintResult& result) { heard.push_back(result); });
    QTRY_COMPARE_WITH_TIMEOUT(heard.size(), size_t(1), 5000);
    QCOMPARE(heard[0].outcome, PrintOutcome::NotAnswering);
    QVERIFY(heard[0].handedOver);
    QVERIFY(PrintMessage(heard[0]).contains(u"mogelijk toch afgedrukt"));
    QTRY_COMPARE_WITH_TIMEOUT(PrintWorkers::workersRunning(), 0, 5000);
}

void TestPrintOutcomes::workerCountsUntilItsLastDestructor() {
    // The program ends normally only when no worker is running; a worker still freeing what its
    // job held while Qt and the program's statics are torn down would free into what is gone.
    static std::atomic<bool> freed = false;
    struct SlowToFree {
        ~SlowToFree() {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            freed = true;
        }
    };
    freed = false;
    const auto gate = std::make_shared<Gate>();
    gate->let();
    std::vector<PrintResult> heard;
    {
        PrintWorkers printing([gate] { return std::make_unique<GatedSystem>(gate); });
        PrintJob job = oneLine(QStringLiteral("x"));
        job.draw = [held = std::make_shared<SlowToFree>(), draw = job.draw](ReportPrinter& printer) {
            draw(printer);
        };
        printing.start(std::move(job), [&heard](const PrintResult& result) { heard.push_back(result); });
        QTRY_COMPARE_WITH_TIMEOUT(heard.size(), size_t(1), 5000);
        QCOMPARE(heard[0].outcome, PrintOutcome::Printed);
        QCOMPARE(heard[0].printer, QStringLiteral("Brug"));
    }
    QTRY_COMPARE_WITH_TIMEOUT(PrintWorkers::workersRunning(), 0, 5000);
    QVERIFY(freed);
}

namespace {

// The program's own handler, installed after start-up: it counts the test's own lines and passes
// the rest on.
std::atomic<int> linesPassedOn = 0;
QtMessageHandler testLog = nullptr;
void countLines(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(u"kw:"))
        ++linesPassedOn;
    else
        testLog(type, context, message);
}

} // namespace

void TestPrintOutcomes::refusalHeardWhateverTheProgramLogs() {
    testLog = qInstallMessageHandler(countLines);
    QLoggingCategory::setFilterRules(QStringLiteral("*.critical=false"));
    {
        const RefusalWatch watch;
        // Another thread's refusal is not this document's; silenced, it stays silent.
        std::thread([] { qCritical("kw: QWin32PrintEngine::end: EndDoc failed"); }).join();
        QVERIFY(!watch.heard());
        qErrnoWarning("QWin32PrintEngine::end: EndDoc failed");
        QVERIFY(watch.heard());
        qDebug("kw: passed on");
    }
    QVERIFY(!RefusalWatch().heard());
    QCOMPARE(linesPassedOn.load(), 1);
    // The program's handler and rules are its own again.
    QVERIFY(qInstallMessageHandler(testLog) == countLines);
    QVERIFY(!QLoggingCategory::defaultCategory()->isCriticalEnabled());
    QLoggingCategory::setFilterRules({});
}

void TestPrintOutcomes::refusalTextIsQtsOwn() {
    // The warnings are Qt's own text, linked into this program with the print engine: each of
    // them that tells of the end of a document must be heard as a refusal. A Qt that words them
    // otherwise fails here rather than print in silence.
    QFile program(QCoreApplication::applicationFilePath());
    QVERIFY(program.open(QIODevice::ReadOnly));
    const QByteArray bytes = program.readAll();
    // Put together here, so that this test's own text is not found among Qt's.
    const QByteArray engine = QByteArray("QWin32PrintEngine") + "::end: ";
    QStringList warnings;
    for (qsizetype at = bytes.indexOf(engine); at >= 0; at = bytes.indexOf(engine, at + 1))
        warnings << QString::fromLatin1(bytes.mid(at, bytes.indexOf('\0', at) - at));
    QVERIFY2(warnings.size() >= 2, qPrintable(warnings.join(u'|')));
    for (QString warning : std::as_const(warnings)) {
        warning.replace(QStringLiteral("%p"), QStringLiteral("000000000000AB12"));
        QVERIFY2(IsPrintRefusal(warning), qPrintable(warning));
    }
}

void TestPrintOutcomes::spoolerDropsWhatWasGivenUp() {
    // The real spooler, with a printer (scripts/windows/check-printing.sh, which looks whether
    // anything of this document printed): a report given up on while it is drawn, after the spooler
    // started its document, is not handed over, and is told as not printed.
    if (!qEnvironmentVariableIsSet("KOERSWACHT_REAL_SPOOLER"))
        QSKIP("needs a default printer: scripts/windows/check-printing.sh");
    const std::unique_ptr<PrintSystem> spooler = MakePrintSystem();
    const auto abandoned = std::make_shared<std::atomic<bool>>(false);
    const PrintJob job{QStringLiteral("Opgegeven"), [abandoned](ReportPrinter& printer) {
                           printer.print({PrintItem::text(QStringLiteral("regel"), Separator::EndOfLine)});
                           *abandoned = true;
                           printer.EndDocument();
                       }};
    std::atomic<bool> sent = false;
    const PrintResult r = RunPrintJob(*spooler, job, within(std::chrono::seconds(10), abandoned), sent);
    QCOMPARE(r.outcome, PrintOutcome::NotAnswering);
    QVERIFY(!r.handedOver && !sent);
}

void TestPrintOutcomes::outcomeOnceWhenTheWorkerIsLate() {
    const auto gate = std::make_shared<Gate>();
    PrintWorkers printing([gate] { return std::make_unique<GatedSystem>(gate); },
                          std::chrono::milliseconds(300));
    std::vector<PrintResult> heard;
    QElapsedTimer clock;
    clock.start();
    printing.start(oneLine(QStringLiteral("x")), [&heard](const PrintResult& r) { heard.push_back(r); });
    QTRY_COMPARE_WITH_TIMEOUT(heard.size(), size_t(1), 5000);
    QVERIFY(clock.elapsed() >= 300);
    QCOMPARE(heard[0].outcome, PrintOutcome::NotAnswering);
    QVERIFY(!heard[0].handedOver);
    // The worker comes back late: it is not heard of again.
    gate->let();
    QTRY_COMPARE_WITH_TIMEOUT(PrintWorkers::workersRunning(), 0, 5000);
    QCoreApplication::processEvents();
    QCOMPARE(heard.size(), size_t(1));
}

void TestPrintOutcomes::abandonedJobsAreNotHeardOf() {
    const auto gate = std::make_shared<Gate>();
    std::vector<PrintResult> heard;
    {
        PrintWorkers printing([gate] { return std::make_unique<GatedSystem>(gate); },
                              std::chrono::milliseconds(200));
        printing.start(oneLine(QStringLiteral("x")), [&heard](const PrintResult& r) { heard.push_back(r); });
        printing.start(oneLine(QStringLiteral("y")), [&heard](const PrintResult& r) { heard.push_back(r); });
        QTRY_COMPARE_WITH_TIMEOUT(gate->waiting.load(), 2, 5000);
        printing.abandonAll();
        QTest::qWait(400);
        QCOMPARE(PrintWorkers::workersRunning(), 2);
    }
    gate->let();
    QTRY_COMPARE_WITH_TIMEOUT(PrintWorkers::workersRunning(), 0, 5000);
    QCoreApplication::processEvents();
    QCOMPARE(heard.size(), size_t(0));
}

#else
void TestPrintOutcomes::helperOutcomes_data() {
    // A shell standing in for the helper: what it says, and when it ends.
    QTest::addColumn<QStringList>("helper");
    QTest::addColumn<QString>("message");
    const auto sh = [](const char* script) {
        return QStringList{u"/bin/sh"_s, u"-c"_s, QString::fromLatin1(script)};
    };
    const auto told = [](PrintOutcome outcome, bool handedOver) {
        return PrintMessage({outcome, {}, {}, handedOver, false, {}});
    };
    // The document is written to a helper that has closed its end: no SIGPIPE, nothing printed.
    // (What a helper says of a server, and its deadline, are printed to end to end in tst_printservers.)
    QTest::newRow("gone before the document")
        << sh("exec 0<&-; echo connected; echo ready; sleep 0.5") << told(PrintOutcome::NotAnswering, false);
    QTest::newRow("no helper") << QStringList{u"/nonexistent/koerswacht-print"_s}
                               << u"Afdrukken kan nu niet worden gestart"_s;
}

void TestPrintOutcomes::helperOutcomes() {
    QFETCH(QStringList, helper);
    QFETCH(QString, message);
    std::vector<PrintResult> heard;
    {
        PrintWorkers printing(helper, std::chrono::milliseconds(1500));
        printing.start(oneLine(u"x"_s), [&heard](const PrintResult& r) { heard.push_back(r); });
        QTRY_COMPARE_WITH_TIMEOUT(heard.size(), size_t(1), 5000);
        QVERIFY2(PrintMessage(heard[0]).startsWith(message), qPrintable(PrintMessage(heard[0])));
        // Killed, reaped and not heard of again.
        QTRY_COMPARE_WITH_TIMEOUT(PrintWorkers::workersRunning(), 0, 2000);
    }
    QCOMPARE(heard.size(), size_t(1));
}
#endif

QTEST_MAIN(TestPrintOutcomes)
#include "tst_printoutcomes.moc"
