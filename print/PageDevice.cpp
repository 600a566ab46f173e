#include "PageDevice.h"

#include "core/RunTimeError.h"

#include <QFontMetricsF>
#include <QPaintDevice>

#include <algorithm>

namespace kw {

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
