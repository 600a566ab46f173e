#pragma once

#include "TextDevice.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>

#include <memory>

namespace kw {

// The system's default printer, no dialog. Without one the constructor fails with the printer
// error before anything is printed.
class PrinterDevice final : public TextDevice {
public:
    explicit PrinterDevice(const QString& documentName);
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
