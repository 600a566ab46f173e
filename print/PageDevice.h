#pragma once

#include "report/PrintJob.h"
#include "report/TextDevice.h"

#include <QFont>
#include <QPainter>

#include <functional>

class QPaintDevice;

namespace kw {

// A report's page on a paint device that makes documents: the PDF a CUPS job carries, or a
// Windows printer. The reports print in Arial. The first text opens the document; endDocument
// finishes it. Used on the print job's worker thread.
class PageDevice final : public TextDevice {
public:
    // How a print system that has the document as soon as its painting ends (the Windows spooler)
    // ends it: `end` ends the painting, handing the document over; `drop` ends it so that nothing of
    // it prints (a report that stopped on an error). Each gets the active painter. Without them,
    // ending the painting only finishes the document.
    struct Ending {
        std::function<void(QPainter&)> end;
        std::function<void(QPainter&)> drop;
    };

    // `device` outlives this page; `name` is the printer's, for the message when it cannot be opened.
    PageDevice(QPaintDevice& device, QString name, Ending ending = {});
    ~PageDevice() override;
    PageDevice(const PageDevice&) = delete;
    PageDevice& operator=(const PageDevice&) = delete;

    void setFont(double pointSize, bool bold) override;
    double averageCharWidth() const override;
    double lineHeight() const override;
    double textWidth(const QString& text) const override;
    void drawText(double x, double y, const QString& text) override;
    void touch() override;
    void endDocument() override;
    void fitReport(double width, double height) override;

private:
    void open();

    QPaintDevice& m_device;
    QString m_name;
    Ending m_ending;
    QPainter m_painter;
    QFont m_font;
    double m_scale = 1.0;
};

// Draws the report on the page, scaled down as a whole where the page is smaller than the report.
// Throws RunTimeError(Printer) when the page cannot take it.
void DrawReport(TextDevice& page, const PrintJob& job);

} // namespace kw
