// Printing through the Windows spooler: Qt draws on the default printer, and the spooler is asked
// what it says of that printer before, and of the job after. Qt's own Windows printing reports
// neither: a paused or offline printer, or a job the spooler drops, would pass in silence.

#include "PageDevice.h"
#include "PrintSystem.h"
#include "PrintVerdicts.h"
#include "RefusalWatch.h"

#include <QPrinter>
#include <QPrinterInfo>

#include <windows.h>
#include <winspool.h>

#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace kw {

namespace {

// How long the spooler is watched after the document was handed over, for a job that goes wrong
// at once (a printer that is offline, out of paper, or a job that is dropped).
constexpr auto JobWatch = std::chrono::milliseconds(3000);

class Printer {
public:
    explicit Printer(const std::wstring& name) {
        std::wstring writable = name;
        if (!OpenPrinterW(writable.data(), &m_handle, nullptr))
            m_handle = nullptr;
    }
    ~Printer() {
        if (m_handle != nullptr)
            ClosePrinter(m_handle);
    }
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    bool isOpen() const { return m_handle != nullptr; }

    // PRINTER_INFO_2's Status and Attributes.
    bool state(quint32& status, quint32& attributes) const {
        DWORD needed = 0;
        GetPrinterW(m_handle, 2, nullptr, 0, &needed);
        if (needed == 0)
            return false;
        std::vector<BYTE> buffer(needed);
        if (!GetPrinterW(m_handle, 2, buffer.data(), needed, &needed))
            return false;
        const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
        status = info->Status;
        attributes = info->Attributes;
        return true;
    }

    struct Job {
        DWORD id;
        std::wstring document;
        DWORD status;
    };
    std::vector<Job> jobs() const {
        std::vector<Job> result;
        DWORD needed = 0;
        DWORD count = 0;
        EnumJobsW(m_handle, 0, 0xFFFF, 1, nullptr, 0, &needed, &count);
        if (needed == 0)
            return result;
        std::vector<BYTE> buffer(needed);
        if (!EnumJobsW(m_handle, 0, 0xFFFF, 1, buffer.data(), needed, &needed, &count))
            return result;
        const auto* infos = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
        for (DWORD i = 0; i < count; ++i)
            result.push_back(
                {infos[i].JobId, infos[i].pDocument ? infos[i].pDocument : L"", infos[i].Status});
        return result;
    }

private:
    HANDLE m_handle = nullptr;
};

// Qt's printer support is set up on first use without a lock; two reports printing at once must
// not both be first.
std::mutex qtPrinters;

class SpoolerPrintSystem final : public PrintSystem {
public:
    // The spooler's calls take no time limit: RunPrintJob asks the deadline after this one.
    PrintResult findDefaultPrinter(const Deadline&) override {
        DWORD size = 0;
        GetDefaultPrinterW(nullptr, &size);
        std::wstring name(size, L'\0');
        if (size == 0 || !GetDefaultPrinterW(name.data(), &size)) {
            PrintResult none;
            none.outcome = PrintOutcome::NoDefaultPrinter;
            return none;
        }
        name.resize(size > 0 ? size - 1 : 0);
        m_name = name;
        m_printer = QString::fromStdWString(name);
        const Printer printer(name);
        quint32 status = 0;
        quint32 attributes = 0;
        if (!printer.isOpen() || !printer.state(status, attributes))
            return SpoolerPrinterVerdict(m_printer, spooler::PrinterNotAvailable, 0);
        for (const Printer::Job& job : printer.jobs())
            m_jobsBefore.insert(job.id);
        return SpoolerPrinterVerdict(m_printer, status, attributes);
    }

    std::unique_ptr<TextDevice> openDocument(const QString& documentName, std::atomic<bool>& sent) override {
        WatchForRefusal();
        m_document = documentName.toStdWString();
        const std::lock_guard lock(qtPrinters);
        m_qprinter =
            std::make_unique<QPrinter>(QPrinterInfo::printerInfo(m_printer), QPrinter::HighResolution);
        m_qprinter->setDocName(documentName);
        m_qprinter->setCreator(QStringLiteral("Koerswacht"));
        // Qt's print engine starts the spooler's document (StartDoc) when the page is opened, and
        // from then on the spooler may print what it has, whatever becomes of this job.
        return std::make_unique<PageDevice>(*m_qprinter, m_printer, [&sent] { sent = true; });
    }

    PrintResult handOver(const Deadline& deadline, std::atomic<bool>&) override {
        // Ending the page ended the document: the spooler has it, or has refused it.
        if (RefusalHeard() || m_qprinter->printerState() == QPrinter::Error) {
            PrintResult failed;
            failed.outcome = PrintOutcome::NotAccepted;
            failed.printer = m_printer;
            return failed;
        }
        const Printer printer(m_name);
        const auto until = std::chrono::steady_clock::now() + JobWatch;
        while (printer.isOpen()) {
            const Printer::Job* ours = nullptr;
            const std::vector<Printer::Job> jobs = printer.jobs();
            for (const Printer::Job& job : jobs) {
                if (m_jobsBefore.count(job.id) == 0 && job.document == m_document)
                    ours = &job;
            }
            if (const auto verdict = SpoolerJobVerdict(m_printer, ours != nullptr, ours ? ours->status : 0))
                return *verdict;
            if (deadline.passed() || std::chrono::steady_clock::now() >= until)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        // In the queue and on its way without trouble so far.
        PrintResult queued;
        queued.printer = m_printer;
        queued.handedOver = true;
        return queued;
    }

private:
    std::wstring m_name;
    QString m_printer;
    std::wstring m_document;
    std::set<DWORD> m_jobsBefore;
    std::unique_ptr<QPrinter> m_qprinter;
};

} // namespace

std::unique_ptr<PrintSystem> MakePrintSystem() {
    return std::make_unique<SpoolerPrintSystem>();
}

} // namespace kw
