#pragma once

// What the print systems say, turned into what the user is told. Kept apart from the calls that
// ask them, and free of the systems' headers, so that tests feed them recorded answers on any
// platform.

#include "PrintOutcome.h"

#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace kw {

// A printer as a CUPS server describes it.
struct CupsPrinterState {
    int state = 0;       // printer-state: 3 idle, 4 processing, 5 stopped
    QStringList reasons; // printer-state-reasons
    QString message;     // printer-state-message: its administrator's reason, or its device's words
};

// One exchange with a CUPS server about one job.
struct CupsExchange {
    enum class Step {
        FindPrinter, // the default destination and what it supports
        HandOver,    // the job and its document
    };
    Step step = Step::FindPrinter;
    int connectError = 0; // errno of a connection to the server that could not be made; 0 when all were
    int httpError = 0;    // errno the connection failed with during the exchange; 0 when it held
    int ippStatus = 0;    // the server's IPP status code for the exchange
    int httpStatus = 0;   // the HTTP status of the server's last answer; 0 where none came
    // The step did not get what it asked for (no destination, no description, no answer to the job),
    // whatever status libcups kept from an earlier request.
    bool failed = false;
    bool exhausted = false;  // the server sent libcups back more often than any job needs
    bool handedOver = false; // the whole document went to the server
    bool accepting = true;   // the printer's printer-is-accepting-jobs
    bool quota = false;      // the printer keeps a quota for each user
    CupsPrinterState printerState;
    std::vector<CupsPrinterState> members; // of a class
    int jobState = 0;      // the job's job-state once it is queued: 3 pending, 4 held, 5 processing…
    QString jobMessage;    // its job-printer-state-message
    QString statusMessage; // the server's own words with its status code
    QString printer;
};

// Printed where the exchange went through and the printer takes jobs.
PrintResult CupsVerdict(const CupsExchange& exchange);

// The Windows spooler's bits, as winspool.h defines them.
namespace spooler {
inline constexpr quint32 PrinterPaused = 0x1;
inline constexpr quint32 PrinterError = 0x2;
inline constexpr quint32 PrinterPendingDeletion = 0x4;
inline constexpr quint32 PrinterOffline = 0x80;
inline constexpr quint32 PrinterNotAvailable = 0x1000;
inline constexpr quint32 PrinterServerUnknown = 0x800000;
inline constexpr quint32 PrinterServerOffline = 0x2000000;
inline constexpr quint32 AttributeWorkOffline = 0x400;

inline constexpr quint32 JobPaused = 0x1;
inline constexpr quint32 JobError = 0x2;
inline constexpr quint32 JobDeleting = 0x4;
inline constexpr quint32 JobOffline = 0x20;
inline constexpr quint32 JobPaperOut = 0x40;
inline constexpr quint32 JobPrinted = 0x80;
inline constexpr quint32 JobDeleted = 0x100;
inline constexpr quint32 JobBlocked = 0x200;
inline constexpr quint32 JobUserIntervention = 0x400;
inline constexpr quint32 JobComplete = 0x1000;
} // namespace spooler

// The default printer as the spooler describes it (PRINTER_INFO_2's Status and Attributes):
// Printed when it can take a job now.
PrintResult SpoolerPrinterVerdict(const QString& printer, quint32 status, quint32 attributes);

// The job as the spooler describes it after it was handed over (JOB_INFO_1's Status); a job that is
// gone from the queue has been printed. No verdict yet while it is on its way without trouble.
std::optional<PrintResult> SpoolerJobVerdict(const QString& printer, bool inQueue, quint32 status);

} // namespace kw
