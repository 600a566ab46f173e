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
#include <QUrl>

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
    decltype(&::cupsUser) user = nullptr;
    decltype(&::httpConnect2) connect = nullptr;
    decltype(&::httpSetTimeout) setTimeout = nullptr;
    decltype(&::httpError) error = nullptr;
    decltype(&::httpGetStatus) status = nullptr;
    decltype(&::httpClose) close = nullptr;
    decltype(&::cupsSetPasswordCB2) setPasswordCallback = nullptr;
    decltype(&::cupsGetNamedDest) namedDest = nullptr;
    decltype(&::cupsGetOption) option = nullptr;
    decltype(&::cupsFreeDests) freeDests = nullptr;
    decltype(&::cupsCopyDestInfo) copyInfo = nullptr;
    decltype(&::cupsFreeDestInfo) freeInfo = nullptr;
    decltype(&::cupsFindDestDefault) findDefault = nullptr;
    decltype(&::cupsFindDestSupported) findSupported = nullptr;
    decltype(&::cupsGetDestMediaByName) mediaByName = nullptr;
    decltype(&::ippNewRequest) newRequest = nullptr;
    decltype(&::ippAddString) addString = nullptr;
    decltype(&::ippAddStrings) addStrings = nullptr;
    decltype(&::ippLength) length = nullptr;
    decltype(&::ippDelete) deleteIpp = nullptr;
    decltype(&::ippFindAttribute) findAttribute = nullptr;
    decltype(&::ippGetCount) attributeCount = nullptr;
    decltype(&::ippGetString) attributeText = nullptr;
    decltype(&::ippGetInteger) attributeInteger = nullptr;
    decltype(&::ippGetBoolean) attributeBoolean = nullptr;
    decltype(&::cupsDoRequest) doRequest = nullptr;
    decltype(&::cupsSendRequest) sendRequest = nullptr;
    decltype(&::cupsWriteRequestData) writeData = nullptr;
    decltype(&::cupsGetResponse) getResponse = nullptr;
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
            resolve(c.user, "cupsUser") && resolve(c.connect, "httpConnect2") &&
            resolve(c.setTimeout, "httpSetTimeout") && resolve(c.error, "httpError") &&
            resolve(c.status, "httpGetStatus") && resolve(c.close, "httpClose") &&
            resolve(c.setPasswordCallback, "cupsSetPasswordCB2") &&
            resolve(c.namedDest, "cupsGetNamedDest") && resolve(c.option, "cupsGetOption") &&
            resolve(c.freeDests, "cupsFreeDests") && resolve(c.copyInfo, "cupsCopyDestInfo") &&
            resolve(c.freeInfo, "cupsFreeDestInfo") && resolve(c.findDefault, "cupsFindDestDefault") &&
            resolve(c.findSupported, "cupsFindDestSupported") &&
            resolve(c.mediaByName, "cupsGetDestMediaByName") && resolve(c.newRequest, "ippNewRequest") &&
            resolve(c.addString, "ippAddString") && resolve(c.addStrings, "ippAddStrings") &&
            resolve(c.length, "ippLength") && resolve(c.deleteIpp, "ippDelete") &&
            resolve(c.findAttribute, "ippFindAttribute") && resolve(c.attributeCount, "ippGetCount") &&
            resolve(c.attributeText, "ippGetString") && resolve(c.attributeInteger, "ippGetInteger") &&
            resolve(c.attributeBoolean, "ippGetBoolean") && resolve(c.doRequest, "cupsDoRequest") &&
            resolve(c.sendRequest, "cupsSendRequest") && resolve(c.writeData, "cupsWriteRequestData") &&
            resolve(c.getResponse, "cupsGetResponse") && resolve(c.lastError, "cupsLastError");
        return all ? c : Cups{};
    }();
    return loaded.lastError != nullptr ? &loaded : nullptr;
}

// An IPP message of libcups', freed with it.
struct Message {
    Message(const Cups& c, ipp_t* message)
        : cups(c)
        , ipp(message) {}
    ~Message() {
        if (ipp != nullptr)
            cups.deleteIpp(ipp);
    }
    ipp_t* release() { return std::exchange(ipp, nullptr); }

    const Cups& cups;
    ipp_t* ipp;
    Message(const Message&) = delete;
    Message& operator=(const Message&) = delete;
};

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
        m_exchange.step = Step::FindPrinter;
        if (m_cups == nullptr)
            return verdict(deadline, 0, false, ENOENT);
        const Cups& c = *m_cups;
        // A server that asks for a password is told there is none (per thread in libcups): libcups'
        // own way asks on the terminal the program was started from, and a worker would wait there.
        c.setPasswordCallback(
            [](const char*, http_t*, const char*, const char*, void*) -> const char* { return nullptr; },
            nullptr);
        int unreachable = 0;
        m_relay = ServerRelay::open(QByteArray(c.server()), c.port(), deadline, unreachable);
        if (m_relay == nullptr)
            return verdict(deadline, 0, false, unreachable);
        // libcups on this thread takes the relay for the server: it asks the server, not the
        // printer's own device, for what it needs.
        c.setServer(m_relay->path().constData());
        int cancel = 0;
        errno = 0;
        m_http = c.connect(m_relay->path().constData(), c.port(), nullptr, AF_LOCAL, c.encryption(), 1,
                           deadline.remainingMilliseconds(), &cancel);
        if (m_http == nullptr)
            return verdict(deadline, 0, false, errno != 0 ? errno : ECONNREFUSED);
        // Every wait on the server is cut into short ones; after each, the deadline decides.
        c.setTimeout(
            m_http, 0.1,
            [](http_t*, void* data) { return static_cast<const Deadline*>(data)->passed() ? 0 : 1; },
            const_cast<Deadline*>(&deadline));
        m_dest = c.namedDest(m_http, nullptr, nullptr);
        if (m_dest == nullptr)
            return verdict(deadline, int(c.lastError()), true);
        m_exchange.printer = QString::fromLocal8Bit(m_dest->name);
        const char* uri = c.option("printer-uri-supported", m_dest->num_options, m_dest->options);
        m_uri = uri != nullptr ? QByteArray(uri) : "ipp://localhost/printers/" + QByteArray(m_dest->name);
        m_resource = QUrl(QString::fromUtf8(m_uri)).path().toUtf8();
        if (m_resource.isEmpty())
            m_resource = "/";
        if (!readPrinterState())
            return verdict(deadline, int(c.lastError()), true);
        if (!m_exchange.accepting)
            return verdict(deadline, IPP_STATUS_OK, false);
        m_info = c.copyInfo(m_http, m_dest);
        if (m_info == nullptr)
            return verdict(deadline, int(c.lastError()), true);
        choosePage();
        return verdict(deadline, IPP_STATUS_OK, false);
    }

    std::unique_ptr<TextDevice> openDocument(const QString& documentName, const Deadline&,
                                             std::atomic<bool>&) override {
        m_documentName = documentName;
        m_pdf.open(QIODevice::WriteOnly);
        m_writer = std::make_unique<QPdfWriter>(&m_pdf);
        m_writer->setResolution(1200);
        m_writer->setPageLayout(m_page);
        m_writer->setTitle(documentName);
        m_writer->setCreator(QStringLiteral("Koerswacht"));
        return std::make_unique<PageDevice>(*m_writer, m_exchange.printer);
    }

    // The report goes as one Print-Job: the server makes the job only once it has the whole
    // document, so a job given up on halfway leaves nothing behind, not even an empty job.
    PrintResult handOver(const Deadline& deadline, std::atomic<bool>& sent) override {
        m_exchange.step = CupsExchange::Step::HandOver;
        if (m_cups == nullptr || m_http == nullptr)
            return verdict(deadline, 0, false, ENOENT);
        const Cups& c = *m_cups;
        const QByteArray title = m_documentName.toUtf8();
        const Message request{c, c.newRequest(IPP_OP_PRINT_JOB)};
        c.addString(request.ipp, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, m_uri.constData());
        c.addString(request.ipp, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, c.user());
        c.addString(request.ipp, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.constData());
        c.addString(request.ipp, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                    CUPS_FORMAT_PDF);
        const QByteArray& pdf = m_pdf.data();
        // A scheduler that wants to know who prints says so once it has the whole job; libcups then
        // has the proof ready (its user, over a local socket), and the job goes again with it.
        for (int attempt = 1;; ++attempt) {
            http_status_t status = c.sendRequest(m_http, request.ipp, m_resource.constData(),
                                                 c.length(request.ipp) + size_t(pdf.size()));
            if (status == HTTP_STATUS_CONTINUE)
                status = c.writeData(m_http, pdf.constData(), size_t(pdf.size()));
            if (status != HTTP_STATUS_CONTINUE)
                return verdict(deadline, int(c.lastError()), true);
            sent = true;
            m_exchange.handedOver = true;
            const Message response{c, c.getResponse(m_http, m_resource.constData())};
            if (response.ipp == nullptr && attempt == 1 && c.status(m_http) == HTTP_STATUS_UNAUTHORIZED) {
                sent = false; // refused unseen
                m_exchange.handedOver = false;
                continue;
            }
            if (response.ipp == nullptr)
                return verdict(deadline, int(c.lastError()), true);
            if (ipp_attribute_t* state = c.findAttribute(response.ipp, "job-state", IPP_TAG_ENUM))
                m_exchange.held = c.attributeInteger(state, 0) == IPP_JSTATE_HELD;
            return verdict(deadline, int(c.lastError()), false);
        }
    }

private:
    PrintResult verdict(const Deadline& deadline, int ippStatus, bool failed, int connectError = 0) {
        const bool connected = m_cups != nullptr && m_http != nullptr;
        CupsExchange& e = m_exchange;
        e.gaveUp = deadline.passed();
        e.connectError = connectError != 0 ? connectError : m_relay != nullptr ? m_relay->serverError() : 0;
        e.httpError = connected ? m_cups->error(m_http) : 0;
        e.httpStatus = connected ? int(m_cups->status(m_http)) : 0;
        e.ippStatus = ippStatus;
        e.failed = failed;
        e.exhausted = m_relay != nullptr && m_relay->exhausted();
        return CupsVerdict(e);
    }

    // Whether the printer takes jobs and prints them now, and what its administrator said of it.
    bool readPrinterState() {
        const Cups& c = *m_cups;
        Message request{c, c.newRequest(IPP_OP_GET_PRINTER_ATTRIBUTES)};
        c.addString(request.ipp, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, m_uri.constData());
        static const char* const wanted[] = {"printer-is-accepting-jobs", "printer-state",
                                             "printer-state-message"};
        c.addStrings(request.ipp, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr,
                     wanted);
        // cupsDoRequest frees the request it is given.
        const Message response{c, c.doRequest(m_http, request.release(), m_resource.constData())};
        if (response.ipp == nullptr || c.lastError() > IPP_STATUS_OK_EVENTS_COMPLETE)
            return false;
        if (ipp_attribute_t* accepting =
                c.findAttribute(response.ipp, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
            m_exchange.accepting = c.attributeBoolean(accepting, 0) != 0;
        if (ipp_attribute_t* state = c.findAttribute(response.ipp, "printer-state", IPP_TAG_ENUM))
            m_exchange.stopped = c.attributeInteger(state, 0) == IPP_PSTATE_STOPPED;
        if (ipp_attribute_t* message = c.findAttribute(response.ipp, "printer-state-message", IPP_TAG_TEXT))
            m_exchange.stateMessage = QString::fromUtf8(c.attributeText(message, 0, nullptr));
        return true;
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
    QByteArray m_uri;
    QByteArray m_resource;
    CupsExchange m_exchange;
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
