#pragma once

#include "PrintList.h"
#include "TextDevice.h"

namespace kw {

inline constexpr int ZoneColumns = 14;

// The printer seen as a text device with a print position: items are laid out in columns of the
// current font's average character width, so a print zone is always 14 such columns wide and a
// label of n characters always ends n columns after it started. That keeps every value in the zone
// the report was written for, whatever the widths of the individual glyphs.
class ReportPrinter final {
public:
    explicit ReportPrinter(TextDevice& device);

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
