#include "ScreenWindow.h"

#include "Screens.h"

#include <QCloseEvent>
#include <QIcon>

namespace kw {

void ApplyScreenFrame(QWidget& window) {
    window.setAttribute(Qt::WA_StyledBackground);
    window.setWindowIcon(QIcon(QStringLiteral(":/koerswacht/icon.png")));
    window.setFixedSize(window.size());
}

ScreenWindow::ScreenWindow(Screens& screens)
    : QWidget(nullptr, ScreenFrameFlags)
    , m_screens(screens) {}

void ScreenWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_screens.frameClosed(*this);
}

} // namespace kw
