#include "PageDevice.h"

#include "core/RunTimeError.h"

#include <QFontMetricsF>
#include <QPaintDevice>

#include <algorithm>

namespace kw {

namespace {

// Draws nothing: learns how far right and down the report reaches on the page's own metrics.
class Measuring final : public TextDevice {
public:
    explicit Measuring(TextDevice& page)
        : m_page(page) {}
    void setFont(double pointSize, bool bold) override { m_page.setFont(pointSize, bold); }
    double averageCharWidth() const override { return m_page.averageCharWidth(); }
    double lineHeight() const override { return m_page.lineHeight(); }
    double textWidth(const QString& text) const override { return m_page.textWidth(text); }
    void drawText(double x, double y, const QString& text) override {
        width = std::max(width, x + m_page.textWidth(text));
        height = std::max(height, y + m_page.lineHeight());
    }
    void touch() override {}
    void endDocument() override {}

    double width = 0.0;
    double height = 0.0;

private:
    TextDevice& m_page;
};

} // namespace

void DrawReport(TextDevice& page, const PrintJob& job) {
    Measuring extent(page);
    {
        ReportPrinter measuring(extent);
        job.draw(measuring);
    }
    page.fitReport(extent.width, extent.height);
    ReportPrinter printer(page);
    job.draw(printer);
}

PageDevice::PageDevice(QPaintDevice& device, QString name, Ending ending)
    : m_device(device)
    , m_name(std::move(name))
    , m_ending(std::move(ending))
    , m_font(QStringLiteral("Arial")) {
    m_font.setStyleHint(QFont::SansSerif);
}

PageDevice::~PageDevice() {
    // A report that stopped on an error: a printer drops what it has, a PDF is never sent.
    if (!m_painter.isActive())
        return;
    if (m_ending.drop)
        m_ending.drop(m_painter);
    else
        m_painter.end();
}

void PageDevice::open() {
    if (m_painter.isActive())
        return;
    if (!m_painter.begin(&m_device))
        throw RunTimeError(ErrorKind::Printer, {}, Expected::Nothing,
                           QStringLiteral("De printer \u201C%1\u201D kan niet worden geopend.").arg(m_name));
    m_painter.scale(m_scale, m_scale);
    m_painter.setFont(m_font);
}

void PageDevice::fitReport(double width, double height) {
    const double across = width > 0.0 ? m_device.width() / width : 1.0;
    const double down = height > 0.0 ? m_device.height() / height : 1.0;
    m_scale = std::clamp(std::min(across, down), 0.01, 1.0);
}

void PageDevice::setFont(double pointSize, bool bold) {
    m_font.setPointSizeF(pointSize);
    m_font.setBold(bold);
    if (m_painter.isActive())
        m_painter.setFont(m_font);
}

double PageDevice::averageCharWidth() const {
    return QFontMetricsF(m_font, &m_device).averageCharWidth();
}

double PageDevice::lineHeight() const {
    return QFontMetricsF(m_font, &m_device).lineSpacing();
}

double PageDevice::textWidth(const QString& text) const {
    return QFontMetricsF(m_font, &m_device).horizontalAdvance(text);
}

void PageDevice::drawText(double x, double y, const QString& text) {
    open();
    const QFontMetricsF metrics(m_font, &m_device);
    m_painter.drawText(QPointF(x, y + metrics.ascent()), text);
}

void PageDevice::touch() {
    open();
}

void PageDevice::endDocument() {
    open();
    if (m_ending.end) {
        m_ending.end(m_painter);
        return;
    }
    if (!m_painter.end())
        throw RunTimeError(
            ErrorKind::Printer, {}, Expected::Nothing,
            QStringLiteral("De printer heeft het document niet aangenomen; er is niets afgedrukt."));
}

} // namespace kw
