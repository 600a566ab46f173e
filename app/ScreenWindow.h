#pragma once

#include <QWidget>

namespace kw {

class Screens;

// Fixed dialog frame without minimise and maximise buttons, the program icon, a client area of the
// layout's size.
void ApplyScreenFrame(QWidget& window);

// A top-level screen of the program whose close box is handled by Screens.
class ScreenWindow : public QWidget {
    Q_OBJECT

public:
    explicit ScreenWindow(Screens& screens);

protected:
    void closeEvent(QCloseEvent* event) override;

    Screens& m_screens;
};

} // namespace kw
