#include "ScreenWindow.h"

#include "Navigation.h"

#include <QCloseEvent>
#include <QIcon>

namespace kw {

void ApplyScreenFrame(QWidget& window) {
    window.setAttribute(Qt::WA_StyledBackground);
    window.setWindowIcon(QIcon(QStringLiteral(":/koerswacht/icon.png")));
    window.setFixedSize(window.size());
}

ScreenWindow::ScreenWindow(Navigation& navigation)
    : QWidget(nullptr, ScreenFrameFlags)
    , m_navigation(navigation) {}

QWidget* ScreenWindow::inputField(Input) const {
    return nullptr;
}

void ScreenWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_navigation.frameClosed(*this);
}

} // namespace kw
