#pragma once

#include <QString>

namespace kw {

// A page that text is written on, in device units. The first output of a document opens it.
class TextDevice {
public:
    virtual ~TextDevice() = default;

    virtual void setFont(double pointSize, bool bold) = 0;
    virtual double averageCharWidth() const = 0;
    virtual double lineHeight() const = 0;
    virtual double textWidth(const QString& text) const = 0;
    // Writes text with its top-left corner at (x, y); throws RunTimeError(Printer) on failure.
    virtual void drawText(double x, double y, const QString& text) = 0;
    // Marks that a line was printed, so an empty document still opens.
    virtual void touch() = 0;
    virtual void endDocument() = 0;
    // The whole report's extent in device units, measured before it is drawn: a page smaller than
    // that draws the report scaled down as a whole, in its proportions, rather than cut it off.
    virtual void fitReport(double /*width*/, double /*height*/) {}
};

} // namespace kw
