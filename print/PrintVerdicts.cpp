#include "PrintVerdicts.h"

#include <algorithm>
#include <cerrno>

namespace kw {

namespace {

// IPP status codes (RFC 8011, and the ones libcups adds for what HTTP said). Like libcups, only
// the successful codes IPP defines count as success: a code past them is no promise of a job.
constexpr int IppLastSuccess = 0x0007; // successful-ok-events-complete
constexpr int IppNotAuthenticated = 0x0402;
constexpr int IppNotAuthorized = 0x0403;
constexpr int IppNotPossible = 0x0404;
constexpr int IppNotAcceptingJobs = 0x0506;
constexpr int IppAuthenticationCanceled = 0x1000;
constexpr int IppUpgradeRequired = 0x1002;
constexpr int HttpUnauthorized = 401;
constexpr int HttpAuthorizationCanceled = 1000; // libcups: a login was asked for and none given
constexpr int HttpUpgradeRequired = 426;
constexpr int HttpForbidden = 403;
constexpr int PrinterStopped = 5;
constexpr int JobHeld = 4, JobStopped = 6, JobCompleted = 9;

// Whether a printer prints nothing now, whatever it takes into its queue: it is stopped, or says a
// reason of error severity, or that its device is not there.
bool Blocked(const CupsPrinterState& p) {
    return p.state == PrinterStopped || std::any_of(p.reasons.begin(), p.reasons.end(), [](const QString& r) {
               return r.endsWith(u"-error") || r == u"offline-report" || r == u"connecting-to-device" ||
                      r == u"shutdown";
           });
}

// What the administrator or the device said; the scheduler's own words for a state are no reason.
QString Reason(const QString& message) {
    return message == u"Rejecting Jobs" || message == u"Paused" ? QString() : message;
}

PrintResult result(PrintOutcome outcome, const QString& printer, const QString& reason = {}) {
    PrintResult r;
    r.outcome = outcome;
    r.printer = printer;
    r.reason = reason;
    return r;
}

} // namespace

PrintResult CupsVerdict(const CupsExchange& e) {
    using Step = CupsExchange::Step;
    // A class prints nothing while none of its members prints.
    const bool members = !e.members.empty() && std::all_of(e.members.begin(), e.members.end(), Blocked);
    QString reason = Reason(e.printerState.message);
    for (const CupsPrinterState& member : e.members)
        reason = reason.isEmpty() && members ? Reason(member.message) : reason;
    PrintResult r = [&] {
        if (e.connectError == ETIMEDOUT || e.httpError == ETIMEDOUT)
            return result(PrintOutcome::NotAnswering, e.printer);
        if (e.exhausted && e.connectError == 0)
            return result(PrintOutcome::NotAccepted, e.printer,
                          QStringLiteral("de afdrukserver verwijst steeds door"));
        // A refused or dropped connection is no answer about printers at all, whatever libcups
        // reports for the request that could not be made.
        if (e.connectError != 0 || e.httpError != 0)
            return result(PrintOutcome::ServerUnreachable, e.printer);
        if (e.httpStatus == HttpUnauthorized || e.httpStatus == HttpAuthorizationCanceled ||
            e.ippStatus == IppNotAuthenticated || e.ippStatus == IppAuthenticationCanceled)
            return result(PrintOutcome::NeedsLogin, e.printer);
        if (e.httpStatus == HttpUpgradeRequired || e.ippStatus == IppUpgradeRequired)
            return result(PrintOutcome::NeedsEncryption, e.printer);
        if (e.ippStatus == IppNotAcceptingJobs || !e.accepting)
            return result(PrintOutcome::Refusing, e.printer, reason);
        if (e.httpStatus == HttpForbidden || e.ippStatus == IppNotAuthorized)
            return result(PrintOutcome::Forbidden, e.printer, e.statusMessage);
        if (e.ippStatus == IppNotPossible)
            return result(e.quota ? PrintOutcome::OverQuota : PrintOutcome::QueueFull, e.printer,
                          e.statusMessage);
        if (e.failed || e.ippStatus < 0 || e.ippStatus > IppLastSuccess) {
            // A printer found but not described (what it takes cannot be read) takes no job now.
            if (e.step == Step::FindPrinter)
                return e.printer.isEmpty() ? result(PrintOutcome::NoDefaultPrinter, {})
                                           : result(PrintOutcome::Refusing, e.printer);
            // Gone quiet after the whole document: it may print yet.
            if (e.handedOver && e.ippStatus <= IppLastSuccess)
                return result(PrintOutcome::NotAnswering, e.printer);
            return result(PrintOutcome::NotAccepted, e.printer);
        }
        if (e.step != Step::HandOver || e.jobState == JobCompleted)
            return result(PrintOutcome::Printed, e.printer);
        if (e.jobState == JobHeld)
            return result(PrintOutcome::Held, e.printer, Reason(e.jobMessage));
        if (e.jobState > JobStopped) // canceled or aborted
            return result(PrintOutcome::NotAccepted, e.printer, Reason(e.jobMessage));
        if (e.jobState == JobStopped || Blocked(e.printerState) || members) {
            PrintResult waiting =
                result(PrintOutcome::Refusing, e.printer, reason.isEmpty() ? Reason(e.jobMessage) : reason);
            waiting.queued = true;
            return waiting;
        }
        return result(PrintOutcome::Printed, e.printer);
    }();
    r.handedOver = e.handedOver;
    return r;
}

PrintResult SpoolerPrinterVerdict(const QString& printer, quint32 status, quint32 attributes) {
    using namespace spooler;
    if ((status & (PrinterServerUnknown | PrinterServerOffline)) != 0)
        return result(PrintOutcome::ServerUnreachable, printer);
    // The first that applies, in the order a user would deal with them.
    const struct {
        bool applies;
        const char16_t* reason;
    } states[] = {
        {(status & PrinterPendingDeletion) != 0, u"wordt verwijderd"},
        {(status & PrinterNotAvailable) != 0, u"niet beschikbaar"},
        {(status & PrinterOffline) != 0, u"offline"},
        {(attributes & AttributeWorkOffline) != 0, u"staat op \u201Cprinter offline gebruiken\u201D"},
        {(status & PrinterError) != 0, u"meldt een fout"},
        {(status & PrinterPaused) != 0, u"gepauzeerd"},
    };
    for (const auto& state : states) {
        if (state.applies)
            return result(PrintOutcome::Refusing, printer, QString::fromUtf16(state.reason));
    }
    return result(PrintOutcome::Printed, printer);
}

std::optional<PrintResult> SpoolerJobVerdict(const QString& printer, bool inQueue, quint32 status) {
    using namespace spooler;
    if (!inQueue || (status & (JobPrinted | JobComplete)) != 0)
        return result(PrintOutcome::Printed, printer);
    if ((status & (JobDeleted | JobDeleting)) != 0)
        return result(PrintOutcome::NotAccepted, printer,
                      QStringLiteral("het is uit de wachtrij verwijderd"));
    const struct {
        quint32 bits;
        const char16_t* reason;
    } states[] = {
        {JobOffline, u"offline"},      {JobPaperOut, u"papier op"},
        {JobBlocked, u"geblokkeerd"},  {JobUserIntervention, u"vraagt om handeling"},
        {JobError, u"meldt een fout"}, {JobPaused, u"gepauzeerd"},
    };
    for (const auto& state : states) {
        if ((status & state.bits) != 0) {
            PrintResult r = result(PrintOutcome::Refusing, printer, QString::fromUtf16(state.reason));
            r.handedOver = true;
            r.queued = true;
            return r;
        }
    }
    return std::nullopt;
}

} // namespace kw
