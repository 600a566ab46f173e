#pragma once

#include "PrintList.h"
#include "TextDevice.h"

namespace kw {

inline constexpr int ZoneColumns = 14;

// The printer seen as a text device with a print position, counted in columns of the current
// font's average character width; a print zone is 14 such columns. For the zones an item of n
// characters takes at least n columns, so a label keeps the values after it in the zone the report
// was written for whatever its glyphs measure; joined items follow each other's real ink so that
// "2", ":" and "18" print as 2:18.
class ReportPrinter final {
public:
    explicit ReportPrinter(TextDevice& device);

    // The printer operations keep the names the reports are written in; print is the print statement.
    void print(const PrintList& list);
    void SetFontSize(float points);
    void SetFontBold(bool bold);
    void EndDocument();

    // The print position, in columns of the current font and in device units down the page.
    double column() const noexcept { return m_column; }
    double top() const noexcept { return m_top; }

private:
    void applyFont();

    TextDevice& m_device;
    double m_pointSize = 12.0; // what the printer holds before a report sets anything
    bool m_bold = false;
    double m_column = 0.0;
    double m_top = 0.0;
};

} // namespace kw
