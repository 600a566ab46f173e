#include "Announce.h"

#include "ScreenWindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLineEdit>

#include <mutex>

namespace kw {

namespace {

QAccessibleInterface* ScreenAccessible(const QString&, QObject* object) {
    auto* screen = qobject_cast<ScreenWindow*>(object);
    return screen == nullptr ? nullptr : new QAccessibleWidget(screen, QAccessible::Window);
}

void Notify(QWidget& widget, const QString& announcement) {
#ifdef Q_OS_WIN
    // Qt's UI Automation bridge raises a notification event for a value that is text.
    QAccessibleValueChangeEvent event(&widget, announcement);
    QAccessible::updateAccessibility(&event);
#else
    // AT-SPI has no such event in this Qt; the events sent beside this call are what it hears.
    Q_UNUSED(widget);
    Q_UNUSED(announcement);
#endif
}

} // namespace

void InstallScreenAccessibility() {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(ScreenAccessible); });
}

void AnnounceText(QLineEdit& field, const QString& text, const QString& announcement) {
    field.setText(text); // its text-changed event comes also when the text is as it was
    Notify(field, announcement);
}

void Announce(QWidget& widget, const QString& announcement) {
    widget.setAccessibleDescription(announcement);
    Notify(widget, announcement);
}

} // namespace kw
