#include "ScreenWindow.h"

#include "Announce.h"
#include "Navigation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>

namespace kw {

void ApplyScreenFrame(QWidget& window) {
    window.setAttribute(Qt::WA_StyledBackground);
    window.setWindowIcon(QIcon(QStringLiteral(":/koerswacht/icon.png")));
    window.setFixedSize(window.size());
}

bool PressFocusedButton(QWidget& window, const QKeyEvent& event) {
    if ((event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter) ||
        (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (button == nullptr || button->window() != &window || !button->isEnabled())
        return false;
    button->animateClick();
    return true;
}

ScreenWindow::ScreenWindow(Navigation& navigation)
    : QWidget(nullptr, ScreenFrameFlags)
    , m_navigation(navigation) {
    InstallScreenAccessibility();
}

QWidget* ScreenWindow::inputField(Input) const {
    return nullptr;
}

void ScreenWindow::keyPressEvent(QKeyEvent* event) {
    if (!PressFocusedButton(*this, *event))
        QWidget::keyPressEvent(event);
}

void ScreenWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_navigation.frameClosed(*this);
}

} // namespace kw
