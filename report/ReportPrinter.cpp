#include "ReportPrinter.h"

#include <algorithm>
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
        const double columnWidth = m_device.averageCharWidth();
        double inkEnd = m_column;
        double cellEnd = m_column;
        if (!item.value.isEmpty()) {
            m_device.drawText(m_column * columnWidth, m_top, item.value);
            inkEnd = m_column + m_device.textWidth(item.value) / columnWidth;
            cellEnd = m_column + item.value.size();
        }
        switch (item.separator) {
        case Separator::NextZone: {
            // The first zone start strictly to the right; the small allowance keeps a label that
            // ends exactly on a zone start from counting as inside the zone before it.
            const double end = std::max(inkEnd, cellEnd);
            m_column = (std::floor(end / ZoneColumns + 1e-9) + 1.0) * ZoneColumns;
            break;
        }
        case Separator::Join:
            m_column = inkEnd;
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
