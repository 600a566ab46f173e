#include "ReportPrinter.h"

#include <cmath>

namespace kw {

ReportPrinter::ReportPrinter(TextDevice& device)
    : m_device(device) {
    applyFont();
}

void ReportPrinter::applyFont() {
    m_device.setFont(m_pointSize, m_bold);
}

void ReportPrinter::print(const PrintList& list) {
    m_device.touch();
    for (const PrintItem& item : list) {
        if (!item.value.isEmpty()) {
            m_device.drawText(m_column * m_device.averageCharWidth(), m_top, item.value);
            m_column += item.value.size();
        }
        switch (item.separator) {
        case Separator::NextZone:
            // The first zone start strictly to the right; the small allowance keeps a label that
            // ends exactly on a zone start from being treated as inside the zone before it.
            m_column = (std::floor(m_column / ZoneColumns + 1e-9) + 1.0) * ZoneColumns;
            break;
        case Separator::Join:
            break;
        case Separator::EndOfLine:
            m_column = 0.0;
            m_top += m_device.lineHeight();
            break;
        }
    }
}

void ReportPrinter::SetFontSize(float points) {
    m_pointSize = points;
    applyFont();
}

void ReportPrinter::SetFontBold(bool bold) {
    m_bold = bold;
    applyFont();
}

void ReportPrinter::EndDocument() {
    m_device.endDocument();
    m_column = 0.0;
    m_top = 0.0;
}

} // namespace kw
