#pragma once

#include "ReportPrinter.h"

#include "core/Voyage.h"

namespace kw {

// The ETA table as the results screen holds it at the moment of the click.
void PrintEtaReport(ReportPrinter& printer, const EtaTable& table);

// The last completed speed calculation, its steaming time split into hours and minutes.
void PrintSpeedReport(ReportPrinter& printer, const SpeedResult& result, const QLocale& locale);

} // namespace kw
