#pragma once

#include <QWidget>

namespace kw {

class Screens;

// A fixed dialog frame without minimise and maximise buttons. Given at construction: changing the
// flags of a built window makes Qt rebuild and restyle it, which costs the main menu a third of its
// start-up.
inline constexpr Qt::WindowFlags ScreenFrameFlags = Qt::Window | Qt::CustomizeWindowHint |
                                                    Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                    Qt::WindowCloseButtonHint;

// The program icon, a client area fixed at the layout's size, the layout's background.
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
