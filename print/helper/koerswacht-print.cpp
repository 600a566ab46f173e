// koerswacht-print: one report of Koerswacht's to the default CUPS destination, as `lp` sends it,
// in a process of its own. The program kills it at the job's deadline, so whatever it waits on (a
// name lookup of any module, a silent or trickling server, TLS) ends with it; nothing of it needs
// a deadline of its own, and it holds no file.
//
// It tells the program, a line each on its standard output, a word, a blank and a value whose bytes
// below 0x20 and '%' are percent-encoded (a print server's text may hold any). In order: "connected"
// once it reaches the server; "printer", "accepting", "stopped", "message" and the papers of the
// default destination; "ready", after which it reads the document (PDF) from its standard input to
// its end; "sent 1" once the server has the whole document ("sent 0" when the server asks for it
// again); "held"; last "end" with what the server said:
//
//   media NAME WIDTH LENGTH LEFT BOTTOM RIGHT TOP   hundredths of a millimetre; 0 where unknown
//   media-default NAME, queue-media NAME            the printer's and the queue's default paper
//   media-supported NAME NAME…                      every paper the printer has
//   end STEP FAILED IPP-STATUS HTTP-STATUS HTTP-ERRNO CONNECT-ERRNO EXHAUSTED
//       STEP 0 while finding the printer, 1 handing over; EXHAUSTED 1 where an answering server
//       sent libcups back more often than any job needs

#include <cups/cups.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// No print job needs more connections than this; a server that sends libcups back for ever (a
// redirect to itself, say) is cut off here.
constexpr int MaxConnections = 50;
int connectionsMade = 0;
bool exhausted = false;
bool answered = false; // the server has said something, on any connection

// What libcups hands out, freed with it.
struct Free {
    void operator()(http_t* http) const { httpClose(http); }
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
template <typename T> using Held = std::unique_ptr<T, Free>;

void say(const char* word, const std::string& value = {}) {
    std::string line = word;
    if (!value.empty())
        line += ' ';
    for (const unsigned char c : value) {
        if (c < 0x20 || c == '%') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            line += escaped;
        } else {
            line += char(c);
        }
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string numbers(std::initializer_list<long> values) {
    std::string line;
    for (const long value : values)
        line += (line.empty() ? "" : " ") + std::to_string(value);
    return line;
}

std::string text(ipp_attribute_t* attribute, int index = 0) {
    const char* value = attribute != nullptr ? ippGetString(attribute, index, nullptr) : nullptr;
    return value != nullptr ? value : "";
}

int finish(http_t* http, int step, bool failed, int ippStatus, int connectError = 0) {
    say("status-message", cupsLastErrorString() != nullptr ? cupsLastErrorString() : "");
    say("end", numbers({step, failed, ippStatus, http != nullptr ? httpGetStatus(http) : 0,
                        http != nullptr ? httpError(http) : 0, connectError, exhausted && answered}));
    return 0;
}

// An IPP request of `operation` on `uri` for `wanted`, and the answer, or null where none came.
Held<ipp_t> ask(http_t* http, ipp_op_t operation, const char* uri, const char* resource,
                std::initializer_list<const char*> wanted, int job = 0) {
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    if (job != 0)
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(wanted.size()),
                  nullptr, wanted.begin());
    Held<ipp_t> response{cupsDoRequest(http, request, resource)}; // frees the request
    if (response != nullptr && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE)
        response.reset();
    return response;
}

std::string words(ipp_t* ipp, const char* name) {
    std::string all;
    ipp_attribute_t* attribute = ippFindAttribute(ipp, name, IPP_TAG_ZERO);
    for (int i = 0; attribute != nullptr && i < ippGetCount(attribute); ++i)
        all += (i > 0 ? " " : "") + text(attribute, i);
    return all;
}

int integer(ipp_t* ipp, const char* name) {
    ipp_attribute_t* attribute = ippFindAttribute(ipp, name, IPP_TAG_ZERO);
    return attribute != nullptr ? ippGetInteger(attribute, 0) : 0;
}

// "STATE REASON…<tab>MESSAGE" of a printer: whether it prints now, and why not, in its
// administrator's or its device's words.
std::string printerState(ipp_t* printer) {
    return std::to_string(integer(printer, "printer-state")) + ' ' + words(printer, "printer-state-reasons") +
           '\t' + text(ippFindAttribute(printer, "printer-state-message", IPP_TAG_TEXT));
}

// Says the state of the printer at `uri` as `word`: the printer's, or a member's of a class.
std::string describePrinter(http_t* http, const char* uri, const char* resource, const char* word) {
    const Held<ipp_t> printer = ask(http, IPP_OP_GET_PRINTER_ATTRIBUTES, uri, resource,
                                    {"printer-state", "printer-state-reasons", "printer-state-message"});
    std::string state = printer != nullptr ? printerState(printer.get()) : std::string();
    if (printer != nullptr)
        say(word, state);
    return state;
}

// What becomes of the job in its first moments: done, held, stopped, or waiting on a printer that
// says why; told at once where it waits in the queue of a printer as it was before (stopped, say, or
// busy). A server that does not say is left at once.
void watchJob(http_t* http, const char* uri, const char* resource, int job, const std::string& before) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    for (;;) {
        const Held<ipp_t> state = ask(http, IPP_OP_GET_JOB_ATTRIBUTES, uri, resource,
                                      {"job-state", "job-state-reasons", "job-printer-state-message"}, job);
        const int jobState = state != nullptr ? integer(state.get(), "job-state") : 0;
        if (jobState == 0)
            return;
        say("job", std::to_string(jobState) + ' ' + words(state.get(), "job-state-reasons") + '\t' +
                       text(ippFindAttribute(state.get(), "job-printer-state-message", IPP_TAG_TEXT)));
        if (jobState >= IPP_JSTATE_HELD && jobState != IPP_JSTATE_PROCESSING)
            return;
        const std::string now = describePrinter(http, uri, resource, "printer-state");
        if ((jobState == IPP_JSTATE_PENDING && now == before) || std::chrono::steady_clock::now() >= until)
            return;
        ::usleep(100000);
    }
}

// The papers the printer names, with their sizes and margins as libcups knows them.
void describePaper(http_t* http, cups_dest_t* dest, cups_dinfo_t* info) {
    const std::string printerDefault = text(cupsFindDestDefault(http, dest, info, "media"));
    const char* queueDefault = cupsGetOption("media", dest->num_options, dest->options);
    say("media-default", printerDefault);
    say("queue-media", queueDefault != nullptr ? queueDefault : "");
    std::vector<std::string> names{printerDefault, queueDefault != nullptr ? queueDefault : ""};
    std::string all;
    ipp_attribute_t* supported = cupsFindDestSupported(http, dest, info, "media");
    for (int i = 0; supported != nullptr && i < ippGetCount(supported); ++i) {
        names.push_back(text(supported, i));
        all += (i > 0 ? " " : "") + names.back();
    }
    say("media-supported", all);
    for (const std::string& name : names) {
        if (name.empty())
            continue;
        cups_size_t size{};
        if (cupsGetDestMediaByName(http, dest, info, name.c_str(), CUPS_MEDIA_FLAGS_DEFAULT, &size) == 0)
            size = {};
        say("media",
            name + ' ' + numbers({size.width, size.length, size.left, size.bottom, size.right, size.top}));
    }
}

} // namespace

// libcups connects again by itself (after a redirect, a login, an upgrade to TLS), and on its own
// would follow a server that sends it back for ever: every stream connection of this process is
// counted here, the one place they all pass.
extern "C" int connect(int fd, const sockaddr* address, socklen_t length) {
    int type = 0;
    socklen_t size = sizeof type;
    if (::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) == 0 && type == SOCK_STREAM &&
        ++connectionsMade > MaxConnections) {
        exhausted = true;
        errno = ECONNREFUSED;
        return -1;
    }
    return int(::syscall(SYS_connect, fd, address, length));
}

// A server that answers and sends libcups back without end is not one that drops every connection
// unanswered, though both make it connect again and again.
extern "C" ssize_t recv(int fd, void* buffer, size_t size, int flags) {
    const auto n = ssize_t(::syscall(SYS_recvfrom, fd, buffer, size, flags, nullptr, nullptr));
    answered = answered || n > 0;
    return n;
}

int main(int argc, char* argv[]) {
    // The program may have given up and closed its end: a write then fails, it does not kill.
    std::signal(SIGPIPE, SIG_IGN);
    // libcups' own way asks for a password on the terminal the program was started from.
    cupsSetPasswordCB2(
        [](const char*, http_t*, const char*, const char*, void*) -> const char* { return nullptr; },
        nullptr);
    errno = 0;
    const Held<http_t> connection{
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr)};
    http_t* http = connection.get();
    if (http == nullptr)
        return finish(nullptr, 0, false, 0, errno != 0 ? errno : ECONNREFUSED);
    say("connected");
    const Held<cups_dest_t> held{cupsGetNamedDest(http, nullptr, nullptr)};
    cups_dest_t* dest = held.get();
    if (dest == nullptr)
        return finish(http, 0, true, int(cupsLastError()));
    say("printer", dest->name);
    const char* supportedUri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
    const std::string uri =
        supportedUri != nullptr ? supportedUri : std::string("ipp://localhost/printers/") + dest->name;
    char scheme[32], user[256], host[256], resource[1024];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme, sizeof scheme, user, sizeof user, host,
                        sizeof host, &port, resource, sizeof resource) < HTTP_URI_STATUS_OK ||
        resource[0] == '\0')
        std::snprintf(resource, sizeof resource, "/");
    const Held<ipp_t> printer =
        ask(http, IPP_OP_GET_PRINTER_ATTRIBUTES, uri.c_str(), resource,
            {"printer-is-accepting-jobs", "printer-state", "printer-state-reasons", "printer-state-message",
             "printer-type", "member-uris", "job-quota-period", "job-k-limit", "job-page-limit"});
    if (printer == nullptr)
        return finish(http, 0, true, int(cupsLastError()));
    ipp_attribute_t* accepting =
        ippFindAttribute(printer.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    say("accepting", numbers({accepting == nullptr || ippGetBoolean(accepting, 0) != 0}));
    const std::string before = printerState(printer.get());
    say("printer-state", before);
    say("quota", numbers({integer(printer.get(), "job-quota-period") > 0 &&
                          (integer(printer.get(), "job-k-limit") > 0 ||
                           integer(printer.get(), "job-page-limit") > 0)}));
    // A class prints while any of its members does.
    ipp_attribute_t* members = ippFindAttribute(printer.get(), "member-uris", IPP_TAG_URI);
    for (int i = 0; members != nullptr && i < ippGetCount(members); ++i)
        describePrinter(http, text(members, i).c_str(), resource, "member-state");
    if (accepting != nullptr && ippGetBoolean(accepting, 0) == 0)
        return finish(http, 0, false, 0);
    const Held<cups_dinfo_t> info{cupsCopyDestInfo(http, dest)};
    if (info == nullptr)
        return finish(http, 0, true, int(cupsLastError()));
    describePaper(http, dest, info.get());
    say("ready");

    std::string pdf;
    char buffer[65536];
    for (ssize_t n; (n = ::read(STDIN_FILENO, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno != EINTR)
            return 1; // the program is gone
        if (n > 0)
            pdf.append(buffer, size_t(n));
    }

    // One Print-Job: the server makes the job only once it has the whole document, so a job given
    // up on halfway leaves nothing behind, not even an empty job.
    const Held<ipp_t> job{ippNewRequest(IPP_OP_PRINT_JOB)};
    ipp_t* request = job.get();
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, argc > 1 ? argv[1] : "");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, CUPS_FORMAT_PDF);
    // A scheduler that wants to know who prints says so once it has the whole job; libcups then has
    // the proof ready (its user, over a local socket), and the job goes again with it.
    for (int attempt = 1;; ++attempt) {
        http_status_t status = cupsSendRequest(http, request, resource, ippLength(request) + pdf.size());
        if (status == HTTP_STATUS_CONTINUE)
            status = cupsWriteRequestData(http, pdf.data(), pdf.size());
        if (status != HTTP_STATUS_CONTINUE)
            return finish(http, 1, true, int(cupsLastError()));
        say("sent", "1");
        const Held<ipp_t> response{cupsGetResponse(http, resource)};
        if (response == nullptr && attempt == 1 && httpGetStatus(http) == HTTP_STATUS_UNAUTHORIZED) {
            say("sent", "0"); // refused unseen
            continue;
        }
        if (response == nullptr)
            return finish(http, 1, true, int(cupsLastError()));
        const int ippStatus = int(cupsLastError());
        if (const int jobState = integer(response.get(), "job-state"); jobState != 0)
            say("job", std::to_string(jobState) + ' ' + words(response.get(), "job-state-reasons") + '\t');
        if (const int id = integer(response.get(), "job-id");
            id != 0 && ippStatus <= IPP_STATUS_OK_EVENTS_COMPLETE)
            watchJob(http, uri.c_str(), resource, id, before);
        return finish(http, 1, false, ippStatus);
    }
}
