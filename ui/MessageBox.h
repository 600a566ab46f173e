#pragma once

#include <QMessageBox>

#include <memory>

class QWidget;

namespace kw {

// The program's message box in the platform's own look: it takes no screen as its parent, so no
// screen's style sheet (colours, faces, button faces) reaches it. It is modal, with OK as its
// default button, stands over the screen that raised it and is that screen's transient for the
// window system.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const QString& title, const QString& text,
                                            QMessageBox::Icon icon);

// Shows MakeMessageBox's box and waits until it is closed.
void ShowMessageBox(QWidget* owner, const QString& title, const QString& text, QMessageBox::Icon icon);

} // namespace kw
