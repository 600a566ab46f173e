#pragma once

#include <QLabel>

namespace kw {

// A wrapped label in which blanks take room like letters, also at the end of a line: the About
// texts rely on runs of blanks to start their next sentence on a new line. A plain QLabel lets
// trailing blanks hang past the edge, so the sentences would run on.
class SpacedLabel final : public QLabel {
    Q_OBJECT

public:
    explicit SpacedLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kw
