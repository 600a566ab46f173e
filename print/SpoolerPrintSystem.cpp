// Printing through the Windows spooler: Qt draws on the default printer, and the spooler is asked
// what it says of that printer before, and of the job after. Qt's own Windows printing reports
// neither: a paused or offline printer, or a job the spooler drops, would pass in silence.

#include "PageDevice.h"
#include "PrintSystem.h"
#include "PrintVerdicts.h"
#include "RefusalWatch.h"
#include "core/RunTimeError.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QtPrintSupport/private/qprintengine_win_p.h>

#include <windows.h>
#include <winspool.h>

#include <mutex>
#include <optional>
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
    std::optional<Job> job(DWORD id) const {
        for (const Job& job : jobs()) {
            if (job.id == id)
                return job;
        }
        return std::nullopt;
    }
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

// Qt's Windows print engine aborts its document (AbortDoc) as the painting ends when its state says
// the print was aborted; only QPrinter::abort() would say so, and on Windows it does nothing. The
// state is set here, through the engine's private data, which a class derived from QPaintEngine
// may name.
struct EngineState : QPaintEngine {
    static void abort(QPaintEngine& engine) {
        QScopedPointer<QPaintEnginePrivate>& data = engine.*(&EngineState::d_ptr);
        static_cast<QWin32PrintEnginePrivate*>(data.data())->state = QPrinter::Aborted;
    }
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

    std::unique_ptr<TextDevice> openDocument(const QString& documentName, const Deadline& deadline,
                                             std::atomic<bool>& sent) override {
        m_document = documentName.toStdWString();
        {
            const std::lock_guard lock(qtPrinters);
            m_qprinter =
                std::make_unique<QPrinter>(QPrinterInfo::printerInfo(m_printer), QPrinter::HighResolution);
        }
        m_qprinter->setDocName(documentName);
        m_qprinter->setCreator(QStringLiteral("Koerswacht"));
        // Qt's print engine draws the page into the spooler's document as it ends the painting, and
        // from then on the spooler may print it, whatever becomes of this job: the deadline decides
        // just before, and a document given up on by then is dropped instead.
        PageDevice::Ending ending;
        ending.end = [this, &deadline, &sent](QPainter& painter) {
            if (deadline.passed()) {
                drop(painter);
                return;
            }
            m_job = ourJob();
            sent = true;
            bool refused = false;
            {
                const RefusalWatch watch;
                painter.end();
                refused = watch.heard();
            }
            if (refused || m_qprinter->printerState() == QPrinter::Error)
                throw RunTimeError(
                    ErrorKind::Printer, {}, Expected::Nothing,
                    QStringLiteral("De printer heeft het document niet aangenomen; er is niets afgedrukt."));
        };
        ending.drop = [this](QPainter& painter) { drop(painter); };
        return std::make_unique<PageDevice>(*m_qprinter, m_printer, std::move(ending));
    }

    // What the spooler says of the job after it had the document. Only the spooler's word makes it
    // printed: a job it no longer shows when first asked, or a printer that cannot be asked, may
    // print yet or not, and the user is told so.
    PrintResult handOver(const Deadline& deadline, std::atomic<bool>&) override {
        PrintResult unknown;
        unknown.outcome = PrintOutcome::NotAnswering;
        unknown.printer = m_printer;
        unknown.handedOver = true;
        const Printer printer(m_name);
        if (!printer.isOpen() || m_job == 0)
            return unknown;
        const auto until = std::chrono::steady_clock::now() + JobWatch;
        for (bool first = true;; first = false) {
            const std::optional<Printer::Job> ours = printer.job(m_job);
            if (first && !ours)
                return unknown;
            if (const auto verdict = SpoolerJobVerdict(m_printer, ours.has_value(), ours ? ours->status : 0))
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
    // The job the spooler made for this document, while Qt's print engine still draws it.
    DWORD ourJob() const {
        const Printer printer(m_name);
        for (const Printer::Job& job : printer.jobs()) {
            if (m_jobsBefore.count(job.id) == 0 && job.document == m_document)
                return job.id;
        }
        return 0;
    }

    // The spooler drops a document aborted before its page ended: nothing of it prints.
    void drop(QPainter& painter) {
        EngineState::abort(*m_qprinter->paintEngine());
        painter.end();
    }

    std::wstring m_name;
    QString m_printer;
    std::wstring m_document;
    std::set<DWORD> m_jobsBefore;
    DWORD m_job = 0;
    std::unique_ptr<QPrinter> m_qprinter;
};

} // namespace

std::unique_ptr<PrintSystem> MakePrintSystem() {
    return std::make_unique<SpoolerPrintSystem>();
}

} // namespace kw
