#pragma once

// Getting a report to the printer. PrintWorkers runs each click's PrintJob apart from the screens,
// with a deadline, and what the print system says becomes one PrintResult, which the screens'
// thread hears once. On Linux the job is a process of its own (the helper in helper/, which talks
// to CUPS), and the screens' thread draws the page (a PageDevice) once the helper has found the
// printer and its paper; at the deadline the process is killed, whatever it waits on. On Windows a
// worker thread has the spooler (a PrintSystem) find the printer, give the page and take it.

#include "PrintOutcome.h"
#include "report/PrintJob.h"

#include <QObject>
#include <QStringList>

#include <chrono>
#include <functional>
#include <map>
#include <memory>

namespace kw {

class PrintSystem;

// The longest a click waits for its outcome: the user hears within it what became of the report.
inline constexpr std::chrono::milliseconds PrintOutcomeWithin{9500};

// Prints reports apart from the thread that owns it (the screens'), which never waits on the print
// system: it hands a job over and hears back once, when the worker is done or when the time is up,
// whichever comes first. A worker that is given up on never prints after the user was told it did
// not, and nothing is heard of it any more: a helper process is killed; a thread is told so and lets
// go of the spooler as soon as its current call ends.
class PrintWorkers final : public QObject {
    Q_OBJECT

public:
    using Done = std::function<void(const PrintResult&)>;
#ifdef Q_OS_WIN
    using SystemFactory = std::function<std::unique_ptr<PrintSystem>()>;
    // `factory` and `within` are for tests: another print system, a time they can wait.
    explicit PrintWorkers(SystemFactory factory = {}, std::chrono::milliseconds within = PrintOutcomeWithin);
#else
    // `helper` and `within` are for tests: a program (and its arguments) in place of the helper
    // that belongs with this program, a time they can wait.
    explicit PrintWorkers(QStringList helper = {}, std::chrono::milliseconds within = PrintOutcomeWithin);
#endif
    ~PrintWorkers() override;
    Q_DISABLE_COPY_MOVE(PrintWorkers)

    // Starts printing `job`. `done` runs later on this object's thread, exactly once, at most
    // `within` after this call. Throws RunTimeError(Printer) when no worker can be started.
    void start(PrintJob job, Done done);
    // Gives up on every job underway: none of their `done`s runs.
    void abandonAll();

    // Workers of any PrintWorkers still running, given up on or not: the program does not wait
    // for them when it ends. A helper runs until it has been reaped; a thread until it has ended,
    // and those that have are joined here, so that none is still freeing what it held when this
    // says 0.
    static int workersRunning();

signals:
    // From a worker thread: its job is done. Heard on this object's thread.
    void workerDone(quint64 id);

private:
    struct Run;
    void finish(quint64 id, bool timeUp);
#ifndef Q_OS_WIN
    void heard(quint64 id);
    bool draw(quint64 id, Run& run);
    void tell(quint64 id, const PrintResult& result);
    void letGo(Run& run);
    QStringList m_helper;
#else
    SystemFactory m_factory;
#endif
    std::chrono::milliseconds m_within;
    std::map<quint64, std::unique_ptr<Run>> m_runs;
    quint64 m_nextId = 1;
};

} // namespace kw
