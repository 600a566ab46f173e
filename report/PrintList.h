#pragma once

// What is on the page: a report is a plain sequence of print lists and font switches sent to a
// ReportPrinter, which lays the items out in print zones over a TextDevice; the text Ctrl+C copies
// is made beside the report it mirrors. A click hands a report over as a PrintJob holding copies of
// its values, which print/ takes to a printer. Tests put a recording device in the page's place.

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
