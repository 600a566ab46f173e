#include "PrintServer.h"

#ifdef KOERSWACHT_CUPS
#include <cups/cups.h>

#include <QElapsedTimer>

#include <sys/socket.h>
#endif

namespace kw {

#ifdef KOERSWACHT_CUPS

PrintServerAnswer AskPrintServer(int milliseconds) {
    using Status = PrintServerAnswer::Status;
    QElapsedTimer clock;
    clock.start();
    int cancel = 0;
    http_t* http =
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, milliseconds, &cancel);
    if (http == nullptr)
        return {clock.elapsed() >= milliseconds ? Status::NotAnswering : Status::NoDefaultPrinter, {}};
    // Every wait on the server ends with the time given; the callback's 0 means: give up.
    httpSetTimeout(
        http, milliseconds / 1000.0, [](http_t*, void*) { return 0; }, nullptr);
    cups_dest_t* dest = cupsGetNamedDest(http, nullptr, nullptr);
    const bool timedOut = clock.elapsed() >= milliseconds;
    httpClose(http);
    if (dest == nullptr)
        return {timedOut ? Status::NotAnswering : Status::NoDefaultPrinter, {}};
    PrintServerAnswer answer{Status::Ready, QString::fromLocal8Bit(dest->name)};
    const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    if (accepting != nullptr && qstrcmp(accepting, "false") == 0)
        answer.status = Status::Refusing;
    cupsFreeDests(1, dest);
    return answer;
}

bool LastDocumentAccepted() {
    return cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
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
