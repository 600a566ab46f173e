#include "PrintSystem.h"

#include "core/RunTimeError.h"

#include <algorithm>

namespace kw {

namespace {

// Draws nothing: learns how far right and down the report reaches on the page's own metrics.
class Measuring final : public TextDevice {
public:
    explicit Measuring(TextDevice& page)
        : m_page(page) {}
    void setFont(double pointSize, bool bold) override { m_page.setFont(pointSize, bold); }
    double averageCharWidth() const override { return m_page.averageCharWidth(); }
    double lineHeight() const override { return m_page.lineHeight(); }
    double textWidth(const QString& text) const override { return m_page.textWidth(text); }
    void drawText(double x, double y, const QString& text) override {
        width = std::max(width, x + m_page.textWidth(text));
        height = std::max(height, y + m_page.lineHeight());
    }
    void touch() override {}
    void endDocument() override {}

    double width = 0.0;
    double height = 0.0;

private:
    TextDevice& m_page;
};

// Given up on before the document was done: nothing more goes to the printer, and the user hears
// whether the print system has any of it already.
PrintResult late(const PrintResult& found, const std::atomic<bool>& sent) {
    PrintResult r = found;
    r.outcome = PrintOutcome::NotAnswering;
    r.handedOver = sent.load();
    return r;
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
        {
            const std::unique_ptr<TextDevice> page = system.openDocument(job.documentName, deadline, sent);
            Measuring extent(*page);
            {
                ReportPrinter measuring(extent);
                job.draw(measuring);
            }
            page->fitReport(extent.width, extent.height);
            ReportPrinter printer(*page);
            job.draw(printer);
        }
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

} // namespace kw
