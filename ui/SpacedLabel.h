#pragma once

#include <QLabel>

class QFontMetricsF;

namespace kw {

// A wrapped label for the About texts, whose author starts a sentence on a new line with a long run
// of blanks (tens of them, typed to fill the rest of the line on the author's screen). Such a run,
// wider than a quarter of the label, ends its line wherever it falls in our fonts; a shorter run
// takes room like letters and, should it reach the end of a line, ends it there too. The next word
// starts at the left margin. A word that does not fit goes to the next line whole.
class SpacedLabel final : public QLabel {
    Q_OBJECT

public:
    explicit SpacedLabel(QWidget* parent = nullptr);

    // The lines `text` is drawn in, `width` wide.
    static QStringList lines(const QString& text, const QFontMetricsF& metrics, qreal width);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kw
