// Printing through CUPS on the program's own connection to the server, where every wait ends at
// the job's deadline. Qt's own CUPS printing asks the server on libcups' shared connection with
// libcups' own time limits (minutes, for a server that has gone quiet) and does not say when the
// server refused the job; here the report is drawn as a PDF in memory and handed over as one job,
// and the server's answer to each step is read.

#include "PageDevice.h"
#include "Paper.h"
#include "PrintSystem.h"
#include "PrintVerdicts.h"
#include "ServerRelay.h"

#include <cups/cups.h>

#include <QBuffer>
#include <QLibrary>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <type_traits>

#include <sys/socket.h>

namespace kw {

namespace {

// A Qt printer's page margin, in points, where the printer allows less.
constexpr double QtMargin = 10.0;

// libcups is loaded when the first report is printed rather than linked: linked, it and the
// libraries it needs would be loaded at every start.
struct Cups {
    decltype(&::cupsServer) server = nullptr;
    decltype(&::cupsSetServer) setServer = nullptr;
    decltype(&::ippPort) port = nullptr;
    decltype(&::cupsEncryption) encryption = nullptr;
    decltype(&::httpConnect2) connect = nullptr;
    decltype(&::httpSetTimeout) setTimeout = nullptr;
    decltype(&::httpError) error = nullptr;
    decltype(&::httpGetStatus) status = nullptr;
    decltype(&::cupsSetPasswordCB2) setPasswordCallback = nullptr;
    decltype(&::cupsFindDestSupported) findSupported = nullptr;
    decltype(&::ippGetCount) attributeCount = nullptr;
    decltype(&::httpClose) close = nullptr;
    decltype(&::cupsGetNamedDest) namedDest = nullptr;
    decltype(&::cupsGetOption) option = nullptr;
    decltype(&::cupsFreeDests) freeDests = nullptr;
    decltype(&::cupsCopyDestInfo) copyInfo = nullptr;
    decltype(&::cupsFreeDestInfo) freeInfo = nullptr;
    decltype(&::cupsFindDestDefault) findDefault = nullptr;
    decltype(&::ippGetString) attributeText = nullptr;
    decltype(&::cupsGetDestMediaByName) mediaByName = nullptr;
    decltype(&::cupsCreateDestJob) createJob = nullptr;
    decltype(&::cupsStartDestDocument) startDocument = nullptr;
    decltype(&::cupsWriteRequestData) writeData = nullptr;
    decltype(&::cupsFinishDestDocument) finishDocument = nullptr;
    decltype(&::cupsCancelDestJob) cancelJob = nullptr;
    decltype(&::cupsLastError) lastError = nullptr;
};

// Null where libcups cannot be loaded.
const Cups* cups() {
    static const Cups loaded = [] {
        Cups c;
        QLibrary library(QStringLiteral("cups"), 2);
        if (!library.load())
            return c;
        const auto resolve = [&library](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
            return function != nullptr;
        };
        const bool all =
            resolve(c.server, "cupsServer") && resolve(c.setServer, "cupsSetServer") &&
            resolve(c.port, "ippPort") && resolve(c.encryption, "cupsEncryption") &&
            resolve(c.connect, "httpConnect2") && resolve(c.setTimeout, "httpSetTimeout") &&
            resolve(c.error, "httpError") && resolve(c.status, "httpGetStatus") &&
            resolve(c.setPasswordCallback, "cupsSetPasswordCB2") &&
            resolve(c.findSupported, "cupsFindDestSupported") && resolve(c.attributeCount, "ippGetCount") &&
            resolve(c.close, "httpClose") && resolve(c.namedDest, "cupsGetNamedDest") &&
            resolve(c.option, "cupsGetOption") && resolve(c.freeDests, "cupsFreeDests") &&
            resolve(c.copyInfo, "cupsCopyDestInfo") && resolve(c.freeInfo, "cupsFreeDestInfo") &&
            resolve(c.findDefault, "cupsFindDestDefault") && resolve(c.attributeText, "ippGetString") &&
            resolve(c.mediaByName, "cupsGetDestMediaByName") && resolve(c.createJob, "cupsCreateDestJob") &&
            resolve(c.startDocument, "cupsStartDestDocument") &&
            resolve(c.writeData, "cupsWriteRequestData") &&
            resolve(c.finishDocument, "cupsFinishDestDocument") &&
            resolve(c.cancelJob, "cupsCancelDestJob") && resolve(c.lastError, "cupsLastError");
        return all ? c : Cups{};
    }();
    return loaded.lastError != nullptr ? &loaded : nullptr;
}

class CupsPrintSystem final : public PrintSystem {
public:
    ~CupsPrintSystem() override {
        if (m_cups == nullptr)
            return;
        if (m_info != nullptr)
            m_cups->freeInfo(m_info);
        if (m_dest != nullptr)
            m_cups->freeDests(1, m_dest);
        if (m_http != nullptr)
            m_cups->close(m_http);
    }

    PrintResult findDefaultPrinter(const Deadline& deadline) override {
        using Step = CupsExchange::Step;
        if (m_cups == nullptr)
            return verdict(Step::FindPrinter, deadline, 0, false, ENOENT);
        const Cups& c = *m_cups;
        // A server that asks for a password is told there is none (per thread in libcups): libcups'
        // own way asks on the terminal the program was started from, and a worker would wait there.
        c.setPasswordCallback(
            [](const char*, http_t*, const char*, const char*, void*) -> const char* { return nullptr; },
            nullptr);
        int unreachable = 0;
        m_relay = ServerRelay::open(QByteArray(c.server()), c.port(), deadline, unreachable);
        if (m_relay == nullptr)
            return verdict(Step::FindPrinter, deadline, 0, false, unreachable);
        // libcups on this thread takes the relay for the server: it asks the server, not the
        // printer's own device, for what it needs.
        const QByteArray relay = "127.0.0.1:" + QByteArray::number(m_relay->port());
        c.setServer(relay.constData());
        int cancel = 0;
        errno = 0;
        m_http = c.connect("127.0.0.1", m_relay->port(), nullptr, AF_INET, c.encryption(), 1,
                           deadline.remainingMilliseconds(), &cancel);
        if (m_http == nullptr)
            return verdict(Step::FindPrinter, deadline, 0, false, errno != 0 ? errno : ECONNREFUSED);
        // Every wait on the server is cut into short ones; after each, the deadline decides.
        c.setTimeout(
            m_http, 0.1,
            [](http_t*, void* data) { return static_cast<const Deadline*>(data)->passed() ? 0 : 1; },
            const_cast<Deadline*>(&deadline));
        m_dest = c.namedDest(m_http, nullptr, nullptr);
        if (m_dest == nullptr)
            return verdict(Step::FindPrinter, deadline, int(c.lastError()), true);
        m_printer = QString::fromLocal8Bit(m_dest->name);
        const char* accepting = c.option("printer-is-accepting-jobs", m_dest->num_options, m_dest->options);
        m_accepting = accepting == nullptr || qstrcmp(accepting, "false") != 0;
        if (!m_accepting)
            return verdict(Step::FindPrinter, deadline, IPP_STATUS_OK, false);
        m_info = c.copyInfo(m_http, m_dest);
        if (m_info == nullptr)
            return verdict(Step::FindPrinter, deadline, int(c.lastError()), true);
        choosePage();
        return verdict(Step::FindPrinter, deadline, IPP_STATUS_OK, false);
    }

    std::unique_ptr<TextDevice> openDocument(const QString& documentName, std::atomic<bool>&) override {
        m_documentName = documentName;
        m_pdf.open(QIODevice::WriteOnly);
        m_writer = std::make_unique<QPdfWriter>(&m_pdf);
        m_writer->setResolution(1200);
        m_writer->setPageLayout(m_page);
        m_writer->setTitle(documentName);
        m_writer->setCreator(QStringLiteral("Koerswacht"));
        return std::make_unique<PageDevice>(*m_writer, m_printer);
    }

    PrintResult handOver(const Deadline& deadline, std::atomic<bool>& sent) override {
        using Step = CupsExchange::Step;
        if (m_cups == nullptr || m_http == nullptr)
            return verdict(Step::HandOver, deadline, 0, false, ENOENT);
        const Cups& c = *m_cups;
        const QByteArray title = m_documentName.toUtf8();
        int job = 0;
        const ipp_status_t created = c.createJob(m_http, m_dest, m_info, &job, title.constData(), 0, nullptr);
        // A server that says it made a job but names none has no job to send the document to.
        if (created > IPP_STATUS_OK_EVENTS_COMPLETE || job <= 0)
            return verdict(Step::HandOver, deadline, int(created), true);
        const QByteArray& pdf = m_pdf.data();
        if (c.startDocument(m_http, m_dest, m_info, job, title.constData(), CUPS_FORMAT_PDF, 0, nullptr, 1) !=
                HTTP_STATUS_CONTINUE ||
            c.writeData(m_http, pdf.constData(), size_t(pdf.size())) != HTTP_STATUS_CONTINUE) {
            PrintResult failed = verdict(Step::HandOver, deadline, int(c.lastError()), true);
            cancel(job, deadline);
            return failed;
        }
        sent = true;
        const ipp_status_t finished = c.finishDocument(m_http, m_dest, m_info);
        PrintResult result = verdict(Step::HandOver, deadline, int(finished), false);
        result.handedOver = true;
        return result;
    }

private:
    PrintResult verdict(CupsExchange::Step step, const Deadline& deadline, int ippStatus, bool failed,
                        int connectError = 0) {
        const bool connected = m_cups != nullptr && m_http != nullptr;
        CupsExchange e;
        e.step = step;
        e.gaveUp = deadline.passed();
        e.connectError = connectError;
        e.httpError = connected ? m_cups->error(m_http) : 0;
        e.httpStatus = connected ? int(m_cups->status(m_http)) : 0;
        e.ippStatus = ippStatus;
        e.failed = failed;
        e.accepting = m_accepting;
        e.printer = m_printer;
        return CupsVerdict(e);
    }

    // A job that was made but did not get its document would wait on the server for it.
    void cancel(int job, const Deadline& deadline) {
        if (!deadline.passed() && m_cups->error(m_http) == 0)
            m_cups->cancelJob(m_http, m_dest, job);
    }

    // The page: the paper the printer takes by default (see ChoosePaper), upright, with the margins
    // a Qt printer has by default (10 points) or the printer's own where they are wider.
    void choosePage() {
        const Cups& c = *m_cups;
        const auto text = [&c](ipp_attribute_t* attribute, int index = 0) {
            const char* value = attribute != nullptr ? c.attributeText(attribute, index, nullptr) : nullptr;
            return QString::fromUtf8(value != nullptr ? value : "");
        };
        QStringList supported;
        if (ipp_attribute_t* media = c.findSupported(m_http, m_dest, m_info, "media")) {
            for (int i = 0; i < c.attributeCount(media); ++i)
                supported << text(media, i);
        }
        const QString paper =
            ChoosePaper(text(c.findDefault(m_http, m_dest, m_info, "media")),
                        QString::fromUtf8(c.option("media", m_dest->num_options, m_dest->options)), supported,
                        QLocale().measurementSystem());
        const QByteArray name = paper.toUtf8();
        cups_size_t size{};
        const bool known =
            c.mediaByName(m_http, m_dest, m_info, name.constData(), CUPS_MEDIA_FLAGS_DEFAULT, &size) != 0 &&
            size.width > 0 && size.length > 0;
        // The name's own size where it has one: what libcups makes of a custom size is not always it.
        const QSizeF named = MediaSize(paper).value_or(QSizeF(size.width / 100.0, size.length / 100.0));
        if (named.isEmpty())
            return;
        const bool sameSize = known && std::abs(named.width() - size.width / 100.0) < 1.0 &&
                              std::abs(named.height() - size.length / 100.0) < 1.0;
        const auto points = [](int hundredthsOfMm) { return hundredthsOfMm / 100.0 * 72.0 / 25.4; };
        const auto margin = [&](int hundredthsOfMm) {
            return sameSize ? std::max(QtMargin, points(hundredthsOfMm)) : QtMargin;
        };
        m_page = QPageLayout(
            QPageSize(named, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch), QPageLayout::Portrait,
            QMarginsF(margin(size.left), margin(size.top), margin(size.right), margin(size.bottom)),
            QPageLayout::Point);
    }

    const Cups* const m_cups = cups();
    std::unique_ptr<ServerRelay> m_relay; // outlives the connection carried on it
    http_t* m_http = nullptr;
    cups_dest_t* m_dest = nullptr;
    cups_dinfo_t* m_info = nullptr;
    QString m_printer;
    bool m_accepting = true;
    QPageLayout m_page{QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(QtMargin, QtMargin, QtMargin, QtMargin), QPageLayout::Point};
    QString m_documentName;
    QBuffer m_pdf;
    std::unique_ptr<QPdfWriter> m_writer;
};

} // namespace

std::unique_ptr<PrintSystem> MakePrintSystem() {
    return std::make_unique<CupsPrintSystem>();
}

} // namespace kw
