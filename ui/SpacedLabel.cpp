#include "SpacedLabel.h"

#include <QPainter>
#include <QTextLayout>

namespace kw {

SpacedLabel::SpacedLabel(QWidget* parent)
    : QLabel(parent) {}

void SpacedLabel::paintEvent(QPaintEvent*) {
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::WordWrap);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    QTextLayout layout(text(), font());
    layout.setTextOption(option);
    const QRect area = contentsRect();
    qreal top = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, top));
        top += line.height();
    }
    layout.endLayout();
    QPainter painter(this);
    painter.setClipRect(area);
    painter.setPen(palette().color(foregroundRole()));
    layout.draw(&painter, area.topLeft());
}

} // namespace kw
