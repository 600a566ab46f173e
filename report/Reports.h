#pragma once

#include "ReportPrinter.h"

#include "calc/Voyage.h"

namespace kw {

// The ETA table as the results screen holds it at the moment of the click.
void PrintEtaReport(ReportPrinter& printer, const EtaTable& table);

// The last completed speed calculation. Splits its steaming time into hours and minutes, stores
// them in `steam` (the screen keeps them), then prints.
void PrintSpeedReport(ReportPrinter& printer, const SpeedResult& result, SteamingTime& steam,
                      const QLocale& locale);

} // namespace kw
