#pragma once

#include "report/TextDevice.h"

#include <QString>

#include <vector>

// A page that remembers what was written where: one column is 10 units, a line is twice the point
// size high, so positions read back as whole columns and font sizes. Glyphs are 10 units wide, but
// a colon is 5 and a W 20, to tell ink from columns.
class RecordingDevice final : public kw::TextDevice {
public:
    struct Text {
        double column;
        double top;
        QString text;
        double pointSize;
        bool bold;
    };

    void setFont(double pointSize, bool bold) override {
        m_pointSize = pointSize;
        m_bold = bold;
    }
    double averageCharWidth() const override { return 10.0; }
    double lineHeight() const override { return m_pointSize * 2.0; }
    double textWidth(const QString& text) const override {
        double width = 0.0;
        for (const QChar c : text)
            width += c == u':' ? 5.0 : c == u'W' ? 20.0 : 10.0;
        return width;
    }
    void drawText(double x, double y, const QString& text) override {
        texts.push_back({x / averageCharWidth(), y, text, m_pointSize, m_bold});
    }
    void touch() override { opened = true; }
    void endDocument() override { ++documents; }

    const Text* find(const QString& text) const {
        for (const Text& t : texts) {
            if (t.text == text)
                return &t;
        }
        return nullptr;
    }

    std::vector<Text> texts;
    bool opened = false;
    int documents = 0;

private:
    double m_pointSize = 0.0;
    bool m_bold = false;
};
