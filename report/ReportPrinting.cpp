#include "ReportPrinting.h"

#include "PrintSystem.h"
#include "core/RunTimeError.h"

#include <QTimer>

#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace kw {

namespace {

std::atomic<int> workers{0};

} // namespace

// What one worker and the screens' thread share. The worker wakes the screens' thread through
// `wake` under the mutex; the screens' thread empties `wake` under the same mutex before it lets go,
// so a worker never reaches an object that is gone.
struct ReportPrinting::Shared {
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

ReportPrinting::ReportPrinting(SystemFactory factory, std::chrono::milliseconds within)
    : m_factory(factory ? std::move(factory) : SystemFactory(MakePrintSystem))
    , m_within(within) {
    connect(
        this, &ReportPrinting::workerDone, this, [this](quint64 id) { finish(id, false); },
        Qt::QueuedConnection);
}

ReportPrinting::~ReportPrinting() {
    abandonAll();
}

int ReportPrinting::workersRunning() {
    return workers.load();
}

void ReportPrinting::start(PrintJob job, Done done) {
    const quint64 id = m_nextId++;
    auto shared = std::make_shared<Shared>();
    shared->wake = [this, id] { emit workerDone(id); };
    // The worker stops a little before the screens' own limit, so that its own answer, more telling
    // than silence, usually arrives first.
    const Deadline deadline(Deadline::Clock::now() + m_within * 29 / 30, shared->abandoned);
    try {
        ++workers;
        std::thread([shared, job = std::move(job), factory = m_factory, deadline] {
            PrintResult result;
            {
                const std::unique_ptr<PrintSystem> system = factory();
                result = RunPrintJob(*system, job, deadline, shared->sent);
            }
            {
                const std::lock_guard lock(shared->mutex);
                shared->result = result;
                if (shared->wake)
                    shared->wake();
            }
            --workers;
        }).detach();
    } catch (const std::system_error&) {
        --workers;
        throw RunTimeError(ErrorKind::Printer, {}, Expected::Nothing,
                           QStringLiteral("Afdrukken kan nu niet worden gestart. Er is niets afgedrukt; "
                                          "probeer het opnieuw."));
    }
    auto timeUp = std::make_unique<QTimer>();
    timeUp->setSingleShot(true);
    timeUp->setTimerType(Qt::PreciseTimer);
    connect(timeUp.get(), &QTimer::timeout, this, [this, id] { finish(id, true); });
    timeUp->start(m_within);
    m_runs.emplace(id, Run{std::move(shared), std::move(done), std::move(timeUp)});
}

void ReportPrinting::finish(quint64 id, bool timeUp) {
    const auto found = m_runs.find(id);
    if (found == m_runs.end())
        return; // heard of already
    Run run = std::move(found->second);
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

void ReportPrinting::abandonAll() {
    for (auto& [id, run] : m_runs)
        run.shared->letGo();
    m_runs.clear();
}

} // namespace kw
