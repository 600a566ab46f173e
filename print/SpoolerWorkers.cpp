#include "PrintWorkers.h"

#include "PageDevice.h"
#include "PrintSystem.h"
#include "core/RunTimeError.h"

#include <QTimer>

#include <list>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace kw {

namespace {

// Given up on before the document was done: nothing more goes to the printer, and the user hears
// whether the print system has any of it already.
PrintResult late(const PrintResult& found, const std::atomic<bool>& sent) {
    PrintResult r = found;
    r.outcome = PrintOutcome::NotAnswering;
    r.handedOver = sent.load();
    return r;
}

// Every worker not yet joined. A worker counts as running until its thread has ended, its job and
// Qt's data for its thread destroyed with it: what has finished is joined when the count is asked
// for, which takes no longer than those destructors. Never destroyed, so that the program can end
// with a worker still waiting on a print system.
struct Workers {
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finishing; // its work and everything it held are gone
    };
    std::mutex mutex;
    std::list<Worker> all;

    int running() {
        const std::lock_guard lock(mutex);
        for (auto worker = all.begin(); worker != all.end();) {
            if (worker->finishing->load()) {
                worker->thread.join();
                worker = all.erase(worker);
            } else {
                ++worker;
            }
        }
        return int(all.size());
    }
};

Workers& workers() {
    static auto* const all = new Workers;
    return *all;
}

} // namespace

PrintResult RunPrintJob(PrintSystem& system, const PrintJob& job, const Deadline& deadline,
                        std::atomic<bool>& sent) {
    PrintResult found;
    try {
        if (deadline.passed())
            return late(found, sent);
        found = system.findDefaultPrinter(deadline);
        if (found.outcome != PrintOutcome::Printed)
            return found;
        // A print system may not have asked the deadline while it looked for the printer.
        if (deadline.passed())
            return late(found, sent);
        DrawReport(*system.openDocument(job.documentName, deadline, sent), job);
        // Given up on while drawing: nothing goes to the printer after the user was told so (a page
        // that hands its document over as it ends has dropped it instead).
        if (deadline.passed())
            return late(found, sent);
        PrintResult handed = system.handOver(deadline, sent);
        if (handed.printer.isEmpty())
            handed.printer = found.printer;
        return handed;
    } catch (const RunTimeError& error) {
        PrintResult failed = found;
        failed.outcome = PrintOutcome::NotAccepted;
        failed.reason.clear();
        failed.detail = error.detail();
        return failed;
    } catch (const std::exception&) {
        PrintResult failed = found;
        failed.outcome = PrintOutcome::NotAccepted;
        return failed;
    }
}

namespace {

// What one worker and the screens' thread share. The worker wakes the screens' thread through
// `wake` under the mutex; the screens' thread empties `wake` under the same mutex before it lets go,
// so a worker never reaches an object that is gone.
struct Shared {
    std::mutex mutex;
    std::function<void()> wake;
    std::optional<PrintResult> result;
    std::shared_ptr<std::atomic<bool>> abandoned = std::make_shared<std::atomic<bool>>(false);
    std::atomic<bool> sent{false};

    void letGo() {
        abandoned->store(true);
        const std::lock_guard lock(mutex);
        wake = nullptr;
    }
};

} // namespace

struct PrintWorkers::Run {
    std::shared_ptr<Shared> shared;
    Done done;
    std::unique_ptr<QTimer> timeUp;
};

PrintWorkers::PrintWorkers(SystemFactory factory, std::chrono::milliseconds within)
    : m_factory(factory ? std::move(factory) : SystemFactory(MakePrintSystem))
    , m_within(within) {
    connect(
        this, &PrintWorkers::workerDone, this, [this](quint64 id) { finish(id, false); },
        Qt::QueuedConnection);
}

PrintWorkers::~PrintWorkers() {
    abandonAll();
}

int PrintWorkers::workersRunning() {
    return workers().running();
}

void PrintWorkers::start(PrintJob job, Done done) {
    const quint64 id = m_nextId++;
    auto shared = std::make_shared<Shared>();
    shared->wake = [this, id] { emit workerDone(id); };
    // The worker stops a little before the screens' own limit, so that its own answer, more telling
    // than silence, usually arrives first.
    const Deadline deadline(Deadline::Clock::now() + m_within * 29 / 30, shared->abandoned);
    struct Work {
        std::shared_ptr<Shared> shared;
        PrintJob job;
        SystemFactory factory;
        Deadline deadline;
    };
    auto work = std::make_unique<Work>(Work{shared, std::move(job), m_factory, deadline});
    auto finishing = std::make_shared<std::atomic<bool>>(false);
    try {
        std::thread thread([work = std::move(work), finishing]() mutable {
            {
                const std::unique_ptr<Work> w = std::move(work);
                PrintResult result;
                {
                    const std::unique_ptr<PrintSystem> system = w->factory();
                    result = RunPrintJob(*system, w->job, w->deadline, w->shared->sent);
                }
                const std::lock_guard lock(w->shared->mutex);
                w->shared->result = result;
                if (w->shared->wake)
                    w->shared->wake();
            }
            finishing->store(true);
        });
        Workers& all = workers();
        const std::lock_guard lock(all.mutex);
        all.all.push_back({std::move(thread), std::move(finishing)});
    } catch (const std::system_error&) {
        throw RunTimeError(ErrorKind::Printer, {}, Expected::Nothing,
                           QStringLiteral("Afdrukken kan nu niet worden gestart. Er is niets afgedrukt; "
                                          "probeer het opnieuw."));
    }
    auto timeUp = std::make_unique<QTimer>();
    timeUp->setSingleShot(true);
    timeUp->setTimerType(Qt::PreciseTimer);
    connect(timeUp.get(), &QTimer::timeout, this, [this, id] { finish(id, true); });
    timeUp->start(m_within);
    m_runs.emplace(id, std::make_unique<Run>(Run{std::move(shared), std::move(done), std::move(timeUp)}));
}

void PrintWorkers::finish(quint64 id, bool timeUp) {
    const auto found = m_runs.find(id);
    if (found == m_runs.end())
        return; // heard of already
    Run run = std::move(*found->second);
    m_runs.erase(found);
    PrintResult result;
    {
        const std::lock_guard lock(run.shared->mutex);
        if (run.shared->result) {
            result = *run.shared->result;
        } else {
            result.outcome = PrintOutcome::NotAnswering;
            result.handedOver = run.shared->sent.load();
        }
    }
    if (timeUp)
        run.shared->letGo();
    run.timeUp.release()->deleteLater(); // it may be the sender of this call
    run.done(result);
}

void PrintWorkers::abandonAll() {
    for (auto& [id, run] : m_runs)
        run->shared->letGo();
    m_runs.clear();
}

} // namespace kw
