#include "Announce.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLineEdit>
#include <QWidget>

#include <mutex>

namespace kw {

namespace {

#ifndef Q_OS_WIN
// A screen's voice: a widget of no size, nothing to see or to reach with the keyboard, that comes
// up anew with each announcement as its name.
class Voice final : public QWidget {
    Q_OBJECT

public:
    explicit Voice(QWidget& screen)
        : QWidget(&screen) {
        setGeometry(0, 0, 0, 0);
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
};
#endif

QAccessibleInterface* ScreenAccessible(const QString&, QObject* object) {
    // A screen of the program (ScreenWindow, which installs this and is known here by name only).
    if (object->inherits("kw::ScreenWindow"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
#ifndef Q_OS_WIN
    if (auto* voice = qobject_cast<Voice*>(object))
        return new QAccessibleWidget(voice, QAccessible::Notification);
#endif
    return nullptr;
}

} // namespace

void InstallScreenAccessibility() {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(ScreenAccessible); });
}

void AnnounceText(QLineEdit& field, const QString& text, const QString& announcement) {
    field.setText(text);
    Announce(field, announcement);
}

void Announce(QWidget& widget, const QString& announcement) {
#ifdef Q_OS_WIN
    // Qt's UI Automation bridge raises a notification event for a value that is text.
    QAccessibleValueChangeEvent event(&widget, announcement);
    QAccessible::updateAccessibility(&event);
#else
    QWidget& screen = *widget.window();
    auto* voice = screen.findChild<Voice*>(QString(), Qt::FindDirectChildrenOnly);
    if (voice == nullptr)
        voice = new Voice(screen); // the screen's child
    voice->hide();
    voice->setAccessibleName(announcement);
    voice->show();
#endif
}

} // namespace kw

#ifndef Q_OS_WIN
#include "Announce.moc"
#endif
