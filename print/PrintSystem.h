#pragma once

#include "PrintOutcome.h"
#include "report/PrintJob.h"
#include "report/TextDevice.h"

#include <atomic>
#include <chrono>
#include <memory>

namespace kw {

// When a print job gives up: at its time, or earlier when the screens have given up on it.
class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    Deadline(Clock::time_point at, std::shared_ptr<const std::atomic<bool>> abandoned)
        : m_at(at)
        , m_abandoned(std::move(abandoned)) {}

    bool passed() const { return m_abandoned->load() || Clock::now() >= m_at; }

private:
    Clock::time_point m_at;
    std::shared_ptr<const std::atomic<bool>> m_abandoned;
};

// The Windows spooler as one print job's worker thread sees it, or a print system a test plays. One object
// per job, used on the job's worker thread only. Each step waits on the print system no longer
// than the deadline allows.
class PrintSystem {
public:
    virtual ~PrintSystem() = default;

    // Finds the default printer and whether it takes a job now: Printed when it does.
    virtual PrintResult findDefaultPrinter(const Deadline& deadline) = 0;
    // The page of a new document on that printer, for the report to be drawn on. Where ending the
    // page is itself the handing over (the Windows spooler prints what it has once the page ends),
    // the page asks the deadline just before, and sets `sent` as it hands the document over; given
    // up on by then, it drops the document instead. Throws RunTimeError(Printer) when the printer
    // cannot be opened or has refused the document.
    virtual std::unique_ptr<TextDevice> openDocument(const QString& documentName, const Deadline& deadline,
                                                     std::atomic<bool>& sent) = 0;
    // Hands the drawn and ended document to the print system and reads back what became of it.
    // Sets `sent` once the whole document is with the print system.
    virtual PrintResult handOver(const Deadline& deadline, std::atomic<bool>& sent) = 0;
};

// The Windows spooler.
std::unique_ptr<PrintSystem> MakePrintSystem();

// One print job from start to end: the printer, the page, the report drawn (scaled down as a whole
// where the paper is smaller than the report), the handing over. The deadline is asked before each
// step that can still be left undone, whether or not the print system asks it itself. Runs on a
// worker thread; never throws.
PrintResult RunPrintJob(PrintSystem& system, const PrintJob& job, const Deadline& deadline,
                        std::atomic<bool>& sent);

} // namespace kw
