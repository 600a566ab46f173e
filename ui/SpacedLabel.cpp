#include "SpacedLabel.h"

#include <QFontMetricsF>
#include <QPainter>

namespace kw {

SpacedLabel::SpacedLabel(QWidget* parent)
    : QLabel(parent) {}

QStringList SpacedLabel::lines(const QString& text, const QFontMetricsF& metrics, qreal width) {
    QStringList result;
    QString line;
    const auto lineWidth = [&metrics](const QString& candidate) {
        return metrics.horizontalAdvance(candidate);
    };
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = at;
        const bool blanks = text[at] == u' ';
        while (end < text.size() && (text[end] == u' ') == blanks)
            ++end;
        const QString piece = text.mid(at, end - at);
        at = end;
        if (blanks) {
            if (line.isEmpty() && !result.isEmpty())
                continue;
            // A long run is the author's way to start a new line: it ends this one. A short run
            // fills the line up to its end at most, and what is left of it is not carried over.
            const bool lineBreak = lineWidth(piece) > width / 4;
            qsizetype fitting = piece.size();
            while (fitting > 0 && lineWidth(line + piece.left(fitting)) > width)
                --fitting;
            line += piece.left(fitting);
            if (lineBreak || fitting < piece.size()) {
                result << line;
                line.clear();
            }
            continue;
        }
        if (!line.isEmpty() && lineWidth(line + piece) > width) {
            result << line;
            line.clear();
        }
        line += piece;
    }
    if (!line.isEmpty() || result.isEmpty())
        result << line;
    return result;
}

void SpacedLabel::paintEvent(QPaintEvent*) {
    const QRect area = contentsRect();
    const QFontMetricsF metrics(font());
    QPainter painter(this);
    painter.setClipRect(area);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    qreal top = area.top();
    for (const QString& line : lines(text(), metrics, area.width())) {
        painter.drawText(QPointF(area.left(), top + metrics.ascent()), line);
        top += metrics.height();
    }
}

} // namespace kw
