#pragma once

#include "core/RunTimeError.h"

#include <QWidget>

namespace kw {

class Navigation;

// A fixed dialog frame without minimise and maximise buttons. Given at construction: changing the
// flags of a built window makes Qt rebuild and restyle it, which costs the main menu a third of its
// start-up.
inline constexpr Qt::WindowFlags ScreenFrameFlags = Qt::Window | Qt::CustomizeWindowHint |
                                                    Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                    Qt::WindowCloseButtonHint;

// The program icon, a client area fixed at the layout's size, the layout's background.
void ApplyScreenFrame(QWidget& window);

// Enter or Return on a focused button presses it, as Space does: what a Windows user expects. A
// button that is not a dialog's default leaves the key to its window, which hands it here.
bool PressFocusedButton(QWidget& window, const QKeyEvent& event);

// A top-level screen of the program whose close box is handled by navigation.
class ScreenWindow : public QWidget {
    Q_OBJECT

public:
    explicit ScreenWindow(Navigation& navigation);

    // The field where the user typed `input`, for the error boundary; null where it has none.
    virtual QWidget* inputField(Input input) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    Navigation& m_navigation;
};

} // namespace kw
