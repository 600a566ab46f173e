#pragma once

#include "PrintJob.h"
#include "ReportPrinter.h"

#include "core/Voyage.h"

namespace kw {

// The ETA table as the results screen holds it at the moment of the click.
void PrintEtaReport(ReportPrinter& printer, const EtaTable& table);

// The last completed speed calculation and its steaming time split into hours and minutes
// (SplitSteamingHours, which can fail, so the caller splits before it opens the printer).
void PrintSpeedReport(ReportPrinter& printer, const SpeedResult& result, const SteamingTime& steam,
                      const QLocale& locale);

// The jobs a click hands over: each holds its own copy of everything its page shows.
PrintJob EtaReportJob(EtaTable table);
PrintJob SpeedReportJob(SpeedResult result, SteamingTime steam, const QLocale& locale);

} // namespace kw
