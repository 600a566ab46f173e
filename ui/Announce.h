#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace kw {

// Gives the program's screens the accessible kind "window" (once, before the first is built):
// Qt's bridges tell assistive technology only of a window that comes up (AT-SPI window:activate,
// UI Automation WindowOpened, each with the caption) when it is of that kind, and a plain widget
// is not.
void InstallScreenAccessibility();

// Writes `text` into `field` and tells assistive technology `announcement`.
void AnnounceText(QLineEdit& field, const QString& text, const QString& announcement);

// Tells assistive technology `announcement`, once, wherever the keyboard focus is, about `widget`.
// On Windows it is a UI Automation notification, which Narrator and NVDA say. Elsewhere it is a
// notification of the widget's screen coming up (AT-SPI object:state-changed:showing of an object
// in the role "notification", named with the announcement), which Orca says: a changed text or
// description is heard only where the focus is, and a description would stay on after it is news.
void Announce(QWidget& widget, const QString& announcement);

} // namespace kw
