#pragma once

#include "ReportPrinter.h"

#include <QString>

#include <functional>

namespace kw {

// What one click on "Afdrukken" prints: the report with every value on its page copied at the
// click, so that nothing typed, calculated or clicked afterwards reaches the page. It is drawn on a
// worker thread, so it holds values only, never a widget.
struct PrintJob {
    QString documentName; // the print system's title of the job
    std::function<void(ReportPrinter&)> draw;
};

} // namespace kw
