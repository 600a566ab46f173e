#include "PrintServer.h"

#ifdef KOERSWACHT_CUPS
#include <cups/cups.h>

#include <QElapsedTimer>
#include <QLibrary>

#include <type_traits>

#include <sys/socket.h>
#endif

namespace kw {

#ifdef KOERSWACHT_CUPS

namespace {

// libcups is loaded when the first report is printed, as Qt's print support loads it, rather than
// linked: linked, it and the libraries it needs would be loaded at every start.
struct Cups {
    decltype(&::cupsServer) server = nullptr;
    decltype(&::ippPort) port = nullptr;
    decltype(&::cupsEncryption) encryption = nullptr;
    decltype(&::httpConnect2) connect = nullptr;
    decltype(&::httpSetTimeout) setTimeout = nullptr;
    decltype(&::httpClose) close = nullptr;
    decltype(&::cupsGetNamedDest) namedDest = nullptr;
    decltype(&::cupsGetOption) option = nullptr;
    decltype(&::cupsFreeDests) freeDests = nullptr;
    decltype(&::cupsLastError) lastError = nullptr;

    bool loaded() const { return lastError != nullptr && freeDests != nullptr; }
};

const Cups& cups() {
    static const Cups loaded = [] {
        Cups c;
        QLibrary library(QStringLiteral("cups"), 2);
        if (!library.load())
            return c;
        const auto resolve = [&library](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
            return function != nullptr;
        };
        const bool all = resolve(c.server, "cupsServer") && resolve(c.port, "ippPort") &&
                         resolve(c.encryption, "cupsEncryption") && resolve(c.connect, "httpConnect2") &&
                         resolve(c.setTimeout, "httpSetTimeout") && resolve(c.close, "httpClose") &&
                         resolve(c.namedDest, "cupsGetNamedDest") && resolve(c.option, "cupsGetOption") &&
                         resolve(c.freeDests, "cupsFreeDests") && resolve(c.lastError, "cupsLastError");
        return all ? c : Cups{};
    }();
    return loaded;
}

} // namespace

PrintServerAnswer AskPrintServer(int milliseconds) {
    using Status = PrintServerAnswer::Status;
    const Cups& c = cups();
    if (!c.loaded())
        return {Status::NoDefaultPrinter, {}};
    QElapsedTimer clock;
    clock.start();
    int cancel = 0;
    http_t* http =
        c.connect(c.server(), c.port(), nullptr, AF_UNSPEC, c.encryption(), 1, milliseconds, &cancel);
    if (http == nullptr)
        return {clock.elapsed() >= milliseconds ? Status::NotAnswering : Status::NoDefaultPrinter, {}};
    // Every wait on the server ends with the time given; the callback's 0 means: give up.
    c.setTimeout(
        http, milliseconds / 1000.0, [](http_t*, void*) { return 0; }, nullptr);
    cups_dest_t* dest = c.namedDest(http, nullptr, nullptr);
    const bool timedOut = clock.elapsed() >= milliseconds;
    c.close(http);
    if (dest == nullptr)
        return {timedOut ? Status::NotAnswering : Status::NoDefaultPrinter, {}};
    PrintServerAnswer answer{Status::Ready, QString::fromLocal8Bit(dest->name)};
    const char* accepting = c.option("printer-is-accepting-jobs", dest->num_options, dest->options);
    if (accepting != nullptr && qstrcmp(accepting, "false") == 0)
        answer.status = Status::Refusing;
    c.freeDests(1, dest);
    return answer;
}

bool LastDocumentAccepted() {
    const Cups& c = cups();
    return !c.loaded() || c.lastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

#else

PrintServerAnswer AskPrintServer(int) {
    return {PrintServerAnswer::Status::Ready, {}};
}

bool LastDocumentAccepted() {
    return true;
}

#endif

} // namespace kw
