#pragma once

// The reports: a report is a plain sequence of print lists and font switches sent to a
// ReportPrinter, which lays the items out in print zones over a TextDevice. The real device paints
// on the system's default printer; tests put a recording device in its place.

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <vector>

namespace kw {

enum class ItemKind : quint8 {
    Empty = 0,
    Integer16 = 2,
    Double = 5,
    Text = 8,
    Object = 9,  // a text box: prints its current text
    General = 12 // a value already formatted by a display pattern
};

enum class Separator : quint8 {
    NextZone = 0x00,
    Join = 0x40,
    EndOfLine = 0x80,
};

struct PrintItem {
    ItemKind kind = ItemKind::Empty;
    QString value; // as printed; empty for the empty kind
    Separator separator = Separator::EndOfLine;

    static PrintItem empty(Separator separator) { return {ItemKind::Empty, {}, separator}; }
    static PrintItem text(QString text, Separator separator) {
        return {ItemKind::Text, std::move(text), separator};
    }
    static PrintItem object(QString value, Separator separator) {
        return {ItemKind::Object, std::move(value), separator};
    }
    static PrintItem general(QString value, Separator separator) {
        return {ItemKind::General, std::move(value), separator};
    }
    static PrintItem integer(qint16 value, Separator separator, const QLocale& locale);
    static PrintItem real(double value, Separator separator, const QLocale& locale);
};

using PrintList = std::vector<PrintItem>;

} // namespace kw
