#pragma once

#include "TextDevice.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>

#include <functional>
#include <memory>

namespace kw {

// How the screens wait for the print server without freezing: until `done` says so or the time
// is up, showing that they wait. True when done in time.
class PrintWait {
public:
    virtual ~PrintWait() = default;
    virtual bool waitFor(const std::function<bool()>& done, int milliseconds) = 0;
};

// The longest wait on the print server before the report gives up on it.
inline constexpr int PrintServerWait = 10000;

// The system's default printer, no dialog. Without one, with one that refuses jobs, or with a
// print server that does not answer in time, the constructor fails with the printer error before
// anything is printed; a document the server did not take fails endDocument().
class PrinterDevice final : public TextDevice {
public:
    PrinterDevice(const QString& documentName, PrintWait& wait);
    ~PrinterDevice() override;

    void setFont(double pointSize, bool bold) override;
    double averageCharWidth() const override;
    double lineHeight() const override;
    double textWidth(const QString& text) const override;
    void drawText(double x, double y, const QString& text) override;
    void touch() override;
    void endDocument() override;

private:
    void open();

    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    QFont m_font;
};

} // namespace kw
