#include "PrinterDevice.h"

#include "core/RunTimeError.h"

#include <QFontMetricsF>
#include <QPrinterInfo>

namespace kw {

namespace {

RunTimeError printerError(const QString& detail) {
    return RunTimeError(ErrorKind::Printer, {}, Expected::Nothing, detail);
}

} // namespace

PrinterDevice::PrinterDevice(const QString& documentName)
    : m_font(QStringLiteral("Arial")) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw printerError(QStringLiteral("Er is geen standaardprinter ingesteld. Stel een printer in als "
                                          "standaard en probeer het opnieuw."));
    m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    m_printer->setDocName(documentName);
    m_printer->setCreator(QStringLiteral("Koerswacht"));
    m_font.setStyleHint(QFont::SansSerif);
}

PrinterDevice::~PrinterDevice() {
    // A report that stopped on an error leaves its lines in the open document; hand them over.
    if (m_painter.isActive())
        m_painter.end();
}

void PrinterDevice::open() {
    if (m_painter.isActive())
        return;
    if (!m_painter.begin(m_printer.get()))
        throw printerError(QStringLiteral("De printer \u201C%1\u201D kan niet worden geopend.")
                               .arg(m_printer->printerName()));
    m_painter.setFont(m_font);
}

void PrinterDevice::setFont(double pointSize, bool bold) {
    m_font.setPointSizeF(pointSize);
    m_font.setBold(bold);
    if (m_painter.isActive())
        m_painter.setFont(m_font);
}

double PrinterDevice::averageCharWidth() const {
    return QFontMetricsF(m_font, m_printer.get()).averageCharWidth();
}

double PrinterDevice::lineHeight() const {
    return QFontMetricsF(m_font, m_printer.get()).lineSpacing();
}

double PrinterDevice::textWidth(const QString& text) const {
    return QFontMetricsF(m_font, m_printer.get()).horizontalAdvance(text);
}

void PrinterDevice::drawText(double x, double y, const QString& text) {
    open();
    const QFontMetricsF metrics(m_font, m_printer.get());
    m_painter.drawText(QPointF(x, y + metrics.ascent()), text);
}

void PrinterDevice::touch() {
    open();
}

void PrinterDevice::endDocument() {
    open();
    if (!m_painter.end() || m_printer->printerState() == QPrinter::Error)
        throw printerError(QStringLiteral("De printer heeft het document geweigerd."));
}

} // namespace kw
