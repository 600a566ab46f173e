#pragma once

#include <QString>

namespace kw {

// How a print job ended, as the user is told.
enum class PrintOutcome {
    Printed,           // the print system took the whole document
    NoDefaultPrinter,  // none set
    ServerUnreachable, // no print server to be reached: refused, or the connection dropped
    NotAnswering,      // the printer or the print server said nothing in time
    Refusing,          // the default printer does not take jobs now
    Held,              // the report waits in the printer's queue, held there until it is released
    NotAccepted,       // the document did not reach the queue
    NeedsLogin,        // the print server asks for a user name and password, which the program has not
    NeedsEncryption,   // the print server takes only an encrypted connection, which did not come about
    QueueFull,         // the queue holds as many jobs as its server allows
    OverQuota,         // the user has printed as much as the queue's quota allows for now
    Forbidden,         // the queue's policy lets other users print, not this one
};

struct PrintResult {
    PrintOutcome outcome = PrintOutcome::Printed;
    QString printer;         // the default printer's name, where known
    QString reason;          // what the print system said of the printer or the job, in Dutch
    bool handedOver = false; // the whole document went to the print system
    bool queued = false;     // the document waits in the printer's queue until the printer prints again
    QString detail;          // a whole message of its own, where a step failed with one
};

// The Dutch message for a result; empty for a report that printed.
QString PrintMessage(const PrintResult& result);

} // namespace kw
