#pragma once

#include <QString>

namespace kw {

// What the print server says of its default printer before a report is sent to it.
struct PrintServerAnswer {
    enum class Status {
        Ready,            // a default printer that accepts jobs
        NoDefaultPrinter, // none set, or no print server to be reached
        Refusing,         // the default printer does not accept jobs now
        NotAnswering,     // the server took the connection and said nothing within the time
    };
    Status status = Status::NoDefaultPrinter;
    QString printer;
};

// Asks the print server (CUPS), giving up after `milliseconds`. Blocks its thread that long at
// most, so the screens run it on a second thread. Without CUPS every printer is taken as ready.
PrintServerAnswer AskPrintServer(int milliseconds);

// Whether the document that the print engine last handed over on this thread reached the queue:
// the engine submits it when the painter ends and ignores what the server answered.
bool LastDocumentAccepted();

} // namespace kw
