// Each report's print job on Linux: the helper (helper/koerswacht-print) talks to CUPS in a process
// of its own, and this side listens to it on the screens' thread, which never waits. Once the
// helper has found the printer and its paper, the report is drawn here as a PDF in memory and
// handed to it; at the deadline the helper is killed, with whatever it was waiting on.

#include "PageDevice.h"
#include "Paper.h"
#include "PrintVerdicts.h"
#include "PrintWorkers.h"
#include "core/RunTimeError.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QPageLayout>
#include <QPdfWriter>
#include <QProcess>
#include <QTimer>

#include <cmath>
#include <csignal>
#include <map>

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace kw {

namespace {

// A Qt printer's page margin, in points, where the printer allows less.
constexpr double QtMargin = 10.0;

// Helpers started and not yet reaped, of every PrintWorkers (all on the screens' thread).
int helpersAlive = 0;

// The helper that belongs with this program: beside it in the build folder, where the package
// installs it otherwise. Never looked up on the PATH.
QStringList ownHelper() {
    const QString build = QDir(QStringLiteral(KOERSWACHT_BUILD_DIR)).canonicalPath();
    const QString here = QDir(QCoreApplication::applicationDirPath()).canonicalPath();
    const bool fromBuild = !build.isEmpty() && (here == build || here.startsWith(build + u'/'));
    return {fromBuild ? QStringLiteral(KOERSWACHT_BUILD_DIR "/koerswacht-print")
                      : QStringLiteral(KOERSWACHT_HELPER)};
}

PrintResult failed(PrintOutcome outcome, const QString& printer, const QString& detail = {},
                   bool sent = false) {
    return {outcome, printer, {}, sent, false, detail};
}

// The papers the helper names: width, length and the left, bottom, right and top margins, in
// hundredths of a millimetre (0 where libcups does not know them).
using Papers = QHash<QString, QList<int>>;

// The page on `paper`, upright, with the margins a Qt printer has by default or the printer's own
// where they are wider.
QPageLayout ChoosePage(const QString& paper, const Papers& papers) {
    const QList<int> size = papers.value(paper, QList<int>(6, 0));
    // The name's own size where it has one: what libcups makes of a custom size is not always it.
    const QSizeF named = MediaSize(paper).value_or(QSizeF(size[0] / 100.0, size[1] / 100.0));
    const bool sameSize = size[0] > 0 && std::abs(named.width() - size[0] / 100.0) < 1.0 &&
                          std::abs(named.height() - size[1] / 100.0) < 1.0;
    const auto margin = [&](int side) {
        return sameSize ? std::max(QtMargin, size[side] / 100.0 * 72.0 / 25.4) : QtMargin;
    };
    return QPageLayout(
        named.isEmpty() ? QPageSize(QPageSize::A4)
                        : QPageSize(named, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
        QPageLayout::Portrait, QMarginsF(margin(2), margin(5), margin(4), margin(3)), QPageLayout::Point);
}

} // namespace

struct PrintWorkers::Run {
    PrintJob job;
    Done done;
    QProcess* helper = nullptr; // deletes itself once reaped
    QTimer* timeUp = nullptr;   // may be the sender of the call that ends the run
    CupsExchange exchange;
    QHash<QByteArray, QString> said; // the helper's other words, the last of each
    Papers papers;
};

PrintWorkers::PrintWorkers(QStringList helper, std::chrono::milliseconds within)
    : m_helper(helper.isEmpty() ? ownHelper() : std::move(helper))
    , m_within(within) {}

PrintWorkers::~PrintWorkers() {
    abandonAll();
    // Killed already: each is reaped at once, so that none outlives the screens.
    for (QProcess* helper : findChildren<QProcess*>(Qt::FindDirectChildrenOnly))
        helper->waitForFinished(1000);
}

int PrintWorkers::workersRunning() {
    return helpersAlive;
}

void PrintWorkers::start(PrintJob job, Done done) {
    const quint64 id = m_nextId++;
    auto* helper = new QProcess(this);
    ++helpersAlive;
    connect(helper, &QObject::destroyed, helper, [] { --helpersAlive; });
    connect(helper, &QProcess::finished, helper, &QObject::deleteLater);
    connect(helper, &QProcess::readyReadStandardOutput, this, [this, id] { heard(id); });
    connect(helper, &QProcess::finished, this, [this, id] { finish(id, false); });
    // Heard of later: start() may say so before the screen has marked the report as underway.
    connect(
        helper, &QProcess::errorOccurred, this,
        [this, id](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                tell(id, failed(PrintOutcome::NotAccepted, {},
                                QStringLiteral("Afdrukken kan nu niet worden gestart. Er is niets afgedrukt; "
                                               "probeer het opnieuw.")));
        },
        Qt::QueuedConnection);
    helper->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Between fork and exec, in the child: it dies with the program, and it inherits nothing but
    // its standard input, output and error.
    helper->setChildProcessModifier([program = ::getpid()] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != program)
            ::_exit(127);
        if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
            for (int fd = 3; fd < 1024; ++fd)
                ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    });
    auto* timeUp = new QTimer(this);
    timeUp->setSingleShot(true);
    timeUp->setTimerType(Qt::PreciseTimer);
    connect(timeUp, &QTimer::timeout, this, [this, id] { finish(id, true); });
    timeUp->start(m_within);
    const QString name = job.documentName;
    m_runs.emplace(id,
                   std::make_unique<Run>(Run{std::move(job), std::move(done), helper, timeUp, {}, {}, {}}));
    helper->start(m_helper.first(), m_helper.mid(1) << name);
}

void PrintWorkers::heard(quint64 id) {
    const auto found = m_runs.find(id);
    if (found == m_runs.end())
        return;
    Run& run = *found->second;
    CupsExchange& e = run.exchange;
    static const std::map<QByteArray, bool CupsExchange::*> flags{{"accepting", &CupsExchange::accepting},
                                                                  {"quota", &CupsExchange::quota},
                                                                  {"sent", &CupsExchange::handedOver}};
    // "STATE REASON…<tab>MESSAGE"
    const auto state = [](const QString& value) {
        const QStringList words = value.section(u'\t', 0, 0).split(u' ', Qt::SkipEmptyParts);
        return CupsPrinterState{words.value(0).toInt(), words.mid(1), value.section(u'\t', 1)};
    };
    while (run.helper->canReadLine()) {
        const QByteArray line = run.helper->readLine().chopped(1);
        const QByteArray word = line.left(line.indexOf(' ') < 0 ? line.size() : line.indexOf(' '));
        const QString value = QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(word.size() + 1)));
        QList<int> numbers;
        for (const QString& part : value.split(u' '))
            numbers << part.toInt();
        if (const auto flag = flags.find(word); flag != flags.end())
            e.*(flag->second) = value == u"1";
        else if (word == "media" && numbers.size() == 7)
            run.papers.insert(value.section(u' ', 0, 0), numbers.mid(1));
        else if (word == "ready" && !draw(id, run))
            return;
        else if (word == "printer-state")
            e.printerState = state(value);
        else if (word == "member-state")
            e.members.push_back(state(value));
        else if (word == "job") {
            const CupsPrinterState job = state(value);
            e.jobState = job.state;
            e.jobMessage = job.message;
        } else
            run.said.insert(word, value);
        e.printer = run.said.value("printer");
        e.statusMessage = run.said.value("status-message");
        if (word == "end" && numbers.size() == 7) {
            e.step = numbers[0] == 1 ? CupsExchange::Step::HandOver : CupsExchange::Step::FindPrinter;
            e.failed = numbers[1] == 1;
            e.ippStatus = numbers[2];
            e.httpStatus = numbers[3];
            e.httpError = numbers[4];
            e.connectError = numbers[5];
            e.exhausted = numbers[6] == 1;
            return tell(id, CupsVerdict(e));
        }
    }
}

bool PrintWorkers::draw(quint64 id, Run& run) {
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    try {
        QPdfWriter writer(&pdf);
        writer.setResolution(1200);
        const QString paper = ChoosePaper(run.said.value("media-default"), run.said.value("queue-media"),
                                          run.said.value("media-supported").split(u' ', Qt::SkipEmptyParts),
                                          QLocale().measurementSystem());
        writer.setPageLayout(ChoosePage(paper, run.papers));
        writer.setTitle(run.job.documentName);
        writer.setCreator(QStringLiteral("Koerswacht"));
        PageDevice page(writer, run.exchange.printer);
        DrawReport(page, run.job);
    } catch (const RunTimeError& error) {
        tell(id, failed(PrintOutcome::NotAccepted, run.exchange.printer, error.detail()));
        return false;
    }
    run.helper->write(pdf.data());
    run.helper->closeWriteChannel();
    return true;
}

void PrintWorkers::finish(quint64 id, bool timeUp) {
    if (!timeUp)
        heard(id); // its last words
    const auto found = m_runs.find(id);
    if (found == m_runs.end())
        return; // heard of already
    // Ended without its last word, or given up on: how far it got tells whether the server may
    // have the report.
    const Run& run = *found->second;
    tell(id,
         failed(run.said.contains("connected") ? PrintOutcome::NotAnswering : PrintOutcome::ServerUnreachable,
                run.exchange.printer, {}, run.exchange.handedOver));
}

void PrintWorkers::tell(quint64 id, const PrintResult& result) {
    const auto found = m_runs.find(id);
    if (found == m_runs.end())
        return;
    const std::unique_ptr<Run> run = std::move(found->second);
    m_runs.erase(found);
    letGo(*run);
    run->done(result);
}

void PrintWorkers::letGo(Run& run) {
    run.timeUp->stop();
    run.timeUp->deleteLater();
    run.helper->disconnect(this);
    if (run.helper->state() == QProcess::NotRunning)
        run.helper->deleteLater(); // ended, or never started
    else
        run.helper->kill(); // deleted once reaped
}

void PrintWorkers::abandonAll() {
    for (auto& [id, run] : m_runs)
        letGo(*run);
    m_runs.clear();
}

} // namespace kw
