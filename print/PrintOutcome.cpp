#include "PrintOutcome.h"

namespace kw {

QString PrintMessage(const PrintResult& result) {
    if (result.outcome != PrintOutcome::Printed && !result.detail.isEmpty())
        return result.detail;
    // Once the whole document is with the print system, it may print yet, however the connection
    // ended: saying that nothing was printed could make the user print it twice.
    if (result.handedOver &&
        (result.outcome == PrintOutcome::NotAnswering || result.outcome == PrintOutcome::ServerUnreachable))
        return QStringLiteral("De printer of de afdrukserver antwoordt niet meer. Het rapport is mogelijk "
                              "toch afgedrukt; kijk bij de printer voordat u het opnieuw probeert.");
    const QString printer = result.printer.isEmpty()
                                ? QStringLiteral("De printer")
                                : QStringLiteral("De printer \u201C%1\u201D").arg(result.printer);
    const QString thePrinter = QString(printer).replace(0, 1, u'd'); // within a sentence
    const QString reason = result.reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(result.reason);
    switch (result.outcome) {
    case PrintOutcome::Printed:
        return {};
    case PrintOutcome::NoDefaultPrinter:
        return QStringLiteral("Er is geen standaardprinter ingesteld. Stel een printer in als standaard en "
                              "probeer het opnieuw.");
    case PrintOutcome::ServerUnreachable:
        return QStringLiteral("De afdrukserver is niet te bereiken. Er is niets afgedrukt; controleer of de "
                              "afdrukservice draait en of de verbinding met de printer werkt, en probeer het "
                              "opnieuw.");
    case PrintOutcome::NotAnswering:
        return QStringLiteral("De printer of de afdrukserver antwoordt niet. Er is niets afgedrukt; "
                              "probeer het later opnieuw.");
    case PrintOutcome::Refusing:
        return result.queued
                   ? QStringLiteral("%1 drukt op dit moment niet af%2. Het rapport wacht "
                                    "in de wachtrij tot de printer weer afdrukt.")
                         .arg(printer, reason)
                   : QStringLiteral("%1 neemt op dit moment geen afdrukken aan%2. Er is niets afgedrukt.")
                         .arg(printer, reason);
    case PrintOutcome::Held:
        return QStringLiteral("%1 houdt het rapport vast in de wachtrij%2; het wordt afgedrukt zodra het "
                              "wordt vrijgegeven.")
            .arg(printer, reason);
    case PrintOutcome::QueueFull:
        return QStringLiteral("De wachtrij van %1 is vol%2. Er is niets afgedrukt; wacht tot er afdrukken "
                              "klaar zijn en probeer het dan opnieuw.")
            .arg(thePrinter, reason);
    case PrintOutcome::OverQuota:
        return QStringLiteral("U hebt zoveel afgedrukt als uw quotum voor %1 toestaat%2. Er is niets "
                              "afgedrukt; vraag de beheerder om een ruimer quotum, of wacht tot de periode "
                              "van het quotum om is.")
            .arg(thePrinter, reason);
    case PrintOutcome::Forbidden:
        return QStringLiteral("%1 laat u niet afdrukken%2: de beheerder heeft deze printer voor andere "
                              "gebruikers ingesteld. Er is niets afgedrukt; vraag de beheerder om toegang of "
                              "stel een andere standaardprinter in.")
            .arg(printer, reason);
    case PrintOutcome::NeedsLogin:
        return QStringLiteral("De afdrukserver vraagt om aanmelding met een gebruikersnaam en wachtwoord. "
                              "Er is niets afgedrukt; laat de beheerder afdrukken zonder aanmelding "
                              "toestaan of stel een andere standaardprinter in, en probeer het opnieuw.");
    case PrintOutcome::NeedsEncryption:
        return QStringLiteral("De afdrukserver aanvaardt alleen een versleutelde verbinding, en die kwam "
                              "niet tot stand. Er is niets afgedrukt; laat de beheerder de versleuteling "
                              "van de afdrukserver controleren, en probeer het opnieuw.");
    case PrintOutcome::NotAccepted:
        return QStringLiteral("De printer heeft het document niet aangenomen%1; er is niets afgedrukt.")
            .arg(reason);
    }
    return {};
}

} // namespace kw
