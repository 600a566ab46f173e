#include "PrintSystem.h"

#include "core/RunTimeError.h"

namespace kw {

PrintResult RunPrintJob(PrintSystem& system, const PrintJob& job, const Deadline& deadline,
                        std::atomic<bool>& sent) {
    PrintResult found;
    try {
        found = system.findDefaultPrinter(deadline);
        if (found.outcome != PrintOutcome::Printed)
            return found;
        {
            const std::unique_ptr<TextDevice> page = system.openDocument(job.documentName);
            ReportPrinter printer(*page);
            job.draw(printer);
        }
        // Given up on while drawing: nothing goes to the printer after the user was told so.
        if (deadline.passed()) {
            PrintResult late = found;
            late.outcome = PrintOutcome::NotAnswering;
            return late;
        }
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

} // namespace kw
