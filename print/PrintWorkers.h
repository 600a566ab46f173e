#pragma once

// Getting a report to the printer. PrintWorkers runs each click's PrintJob on a worker thread with
// a deadline; there a PrintSystem (CUPS, or the Windows spooler) finds the default printer, gives
// the page (a PageDevice) to draw on and takes the document, and what it says becomes one
// PrintResult, which the screens' thread hears once.

#include "PrintOutcome.h"
#include "report/PrintJob.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <map>
#include <memory>

class QTimer;

namespace kw {

class PrintSystem;

// The longest a click waits for its outcome: the user hears within it what became of the report.
inline constexpr std::chrono::milliseconds PrintOutcomeWithin{9500};

// Prints reports on worker threads for the thread that owns it (the screens'), which never waits
// on the print system: it hands a job over and hears back once, when the worker is done or when the
// time is up, whichever comes first. A worker that is given up on is told so and lets go of the
// print system as soon as its current wait ends; it never prints after the user was told it did
// not, and nothing is heard of it any more.
class PrintWorkers final : public QObject {
    Q_OBJECT

public:
    using Done = std::function<void(const PrintResult&)>;
    using SystemFactory = std::function<std::unique_ptr<PrintSystem>()>;

    // `within` is for tests that cannot wait PrintOutcomeWithin.
    explicit PrintWorkers(SystemFactory factory = {}, std::chrono::milliseconds within = PrintOutcomeWithin);
    ~PrintWorkers() override;
    Q_DISABLE_COPY_MOVE(PrintWorkers)

    // Starts printing `job`. `done` runs later on this object's thread, exactly once, at most
    // `within` after this call. Throws RunTimeError(Printer) when no worker can be started.
    void start(PrintJob job, Done done);
    // Gives up on every job underway: none of their `done`s runs.
    void abandonAll();

    // Workers of any PrintWorkers still running, given up on or not: the program does not wait
    // for them when it ends. A worker runs until its thread has ended; those that have are joined
    // here, so that none is still freeing what it held when this says 0.
    static int workersRunning();

signals:
    // From a worker: its job is done. Heard on this object's thread.
    void workerDone(quint64 id);

private:
    struct Shared;
    struct Run {
        std::shared_ptr<Shared> shared;
        Done done;
        std::unique_ptr<QTimer> timeUp;
    };
    void finish(quint64 id, bool timeUp);

    SystemFactory m_factory;
    std::chrono::milliseconds m_within;
    std::map<quint64, Run> m_runs;
    quint64 m_nextId = 1;
};

} // namespace kw
