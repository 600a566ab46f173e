#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace kw {

// The platform's copy key (Ctrl+C) anywhere on `screen` puts what `text` returns on the clipboard
// as plain text; while it returns nothing, the key does nothing. In a field with selected text the
// field copies its selection as it always does; a field with nothing selected leaves the key to
// the screen, so the focus landing in a result cell does not make the key dead.
void InstallCopyShortcut(QWidget& screen, std::function<QString()> text);

} // namespace kw
