#include "ScreenWindow.h"

#include "Screens.h"

#include <QCloseEvent>
#include <QIcon>

namespace kw {

void ApplyScreenFrame(QWidget& window) {
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window.setAttribute(Qt::WA_StyledBackground);
    window.setWindowIcon(QIcon(QStringLiteral(":/koerswacht/icon.png")));
    window.setFixedSize(window.size());
}

ScreenWindow::ScreenWindow(Screens& screens)
    : m_screens(screens) {}

void ScreenWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_screens.frameClosed(*this);
}

} // namespace kw
