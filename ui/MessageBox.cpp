#include "MessageBox.h"

#include <QPushButton>
#include <QWindow>

namespace kw {

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const QString& title, const QString& text,
                                            QMessageBox::Icon icon) {
    auto box = std::make_unique<QMessageBox>(icon, title, text, QMessageBox::Ok);
    // What a print server or a path says is shown as the text it is, never as markup.
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(QMessageBox::Ok);
    box->setWindowModality(Qt::ApplicationModal);
    if (owner != nullptr && owner->window()->isVisible()) {
        QWidget* screen = owner->window();
        box->winId(); // makes the window handle
        box->windowHandle()->setTransientParent(screen->windowHandle());
        box->ensurePolished();
        box->adjustSize();
        QRect frame(QPoint(0, 0), box->size());
        frame.moveCenter(screen->frameGeometry().center());
        box->move(frame.topLeft());
    }
    return box;
}

void ShowMessageBox(QWidget* owner, const QString& title, const QString& text, QMessageBox::Icon icon) {
    const std::unique_ptr<QMessageBox> box = MakeMessageBox(owner, title, text, icon);
    box->exec();
}

} // namespace kw
