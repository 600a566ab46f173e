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

// Writes `text` into `field` and tells assistive technology: the field's text-changed event, which
// Qt sends also when the text is as it was (the same result again is news too), and `announcement`.
void AnnounceText(QLineEdit& field, const QString& text, const QString& announcement);

// Tells assistive technology `announcement`, about `widget`: it becomes the widget's accessible
// description (object:property-change:accessible-description, which a screen reader says of the
// focused control), and on Windows also a UI Automation notification, which Narrator and NVDA say
// wherever the focus is.
void Announce(QWidget& widget, const QString& announcement);

} // namespace kw
