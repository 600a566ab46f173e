#include "PrinterDevice.h"

#include "PrintServer.h"
#include "core/RunTimeError.h"

#include <QFontMetricsF>
#include <QPrinterInfo>

#include <atomic>
#include <thread>

namespace kw {

namespace {

RunTimeError printerError(const QString& detail) {
    return RunTimeError(ErrorKind::Printer, {}, Expected::Nothing, detail);
}

const QString NoDefaultPrinter = QStringLiteral(
    "Er is geen standaardprinter ingesteld. Stel een printer in als standaard en probeer het opnieuw.");

// Asks the print server on a second thread, which lets go of everything it shares with this one if
// it is still waiting when this one has given up on it.
PrintServerAnswer askWithin(PrintWait& wait) {
    struct Asking {
        std::atomic<bool> done = false;
        PrintServerAnswer answer;
    };
    const auto asking = std::make_shared<Asking>();
    try {
        std::thread([asking] {
            asking->answer = AskPrintServer(PrintServerWait);
            asking->done = true;
        }).detach();
    } catch (const std::system_error&) {
        return AskPrintServer(PrintServerWait); // no second thread to be had: ask here
    }
    if (!wait.waitFor([&asking] { return asking->done.load(); }, PrintServerWait + 500))
        return {PrintServerAnswer::Status::NotAnswering, {}};
    return asking->answer;
}

} // namespace

PrinterDevice::PrinterDevice(const QString& documentName, PrintWait& wait)
    : m_font(QStringLiteral("Arial")) {
    const PrintServerAnswer server = askWithin(wait);
    switch (server.status) {
    case PrintServerAnswer::Status::Ready:
        break;
    case PrintServerAnswer::Status::NoDefaultPrinter:
        throw printerError(NoDefaultPrinter);
    case PrintServerAnswer::Status::Refusing:
        throw printerError(QStringLiteral("De printer \u201C%1\u201D neemt op dit moment geen afdrukken aan. "
                                          "Er is niets afgedrukt.")
                               .arg(server.printer));
    case PrintServerAnswer::Status::NotAnswering:
        throw printerError(
            QStringLiteral("De printer of de afdrukserver antwoordt niet. Er is niets afgedrukt; "
                           "probeer het later opnieuw."));
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw printerError(NoDefaultPrinter);
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
    // Ending the painter hands the document to the print server.
    if (!m_painter.end() || m_printer->printerState() == QPrinter::Error || !LastDocumentAccepted())
        throw printerError(QStringLiteral("De printer heeft het document niet aangenomen; er is niets "
                                          "afgedrukt."));
}

} // namespace kw
