#pragma once

// The reports: a report is a plain sequence of print lists and font switches sent to a
// ReportPrinter, which lays the items out in print zones over a TextDevice. A click hands a report
// over as a PrintJob holding copies of its values; ReportPrinting runs it on a worker thread, where
// a PrintSystem (CUPS, or the Windows spooler) finds the default printer, gives the page to draw on
// and takes the document. Tests put a recording device in the page's place.

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <vector>

namespace kw {

enum class Separator : quint8 {
    NextZone = 0x00,
    Join = 0x40,
    EndOfLine = 0x80,
};

// One item of a print list, as it prints: the kinds differ only in how their value became text.
struct PrintItem {
    QString value; // empty for the empty item
    Separator separator = Separator::EndOfLine;

    static PrintItem empty(Separator separator) { return {{}, separator}; }
    static PrintItem text(QString text, Separator separator) { return {std::move(text), separator}; }
    // A text box: prints its current text.
    static PrintItem object(QString value, Separator separator) { return {std::move(value), separator}; }
    // A value already formatted by a display pattern.
    static PrintItem general(QString value, Separator separator) { return {std::move(value), separator}; }
    static PrintItem integer(qint16 value, Separator separator, const QLocale& locale);
    static PrintItem real(double value, Separator separator, const QLocale& locale);
};

using PrintList = std::vector<PrintItem>;

} // namespace kw
