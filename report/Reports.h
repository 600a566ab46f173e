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

// The last completed speed calculation as Ctrl+C copies it, with the report's captions, one caption
// and value a line; the speed under `speedCaption`, as the screen names it.
QString SpeedCopyText(const SpeedResult& result, const QString& speedCaption, const QLocale& locale);

// Lines of cells, each cell without the blanks around it, tab-separated so that they paste into a
// spreadsheet or a mail as columns; every line ends in a line feed (the clipboard turns it into
// the platform's line end).
QString TabSeparated(const QList<QStringList>& lines);

// The jobs a click hands over: each holds its own copy of everything its page shows.
PrintJob EtaReportJob(EtaTable table);
PrintJob SpeedReportJob(SpeedResult result, SteamingTime steam, const QLocale& locale);

} // namespace kw
