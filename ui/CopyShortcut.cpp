#include "CopyShortcut.h"

#include "DatePicker.h"

#include <QAbstractSpinBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

namespace kw {

namespace {

// The screen's copy key. A line edit claims the key whether or not it has anything selected; the
// key watches the screen's fields and declines a claim without a selection, so that the key comes
// to the screen.
class CopyKey final : public QShortcut {
public:
    explicit CopyKey(QWidget& screen)
        : QShortcut(QKeySequence::Copy, &screen) {
        setContext(Qt::WindowShortcut);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride ||
            !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy))
            return false;
        const auto* field = qobject_cast<QLineEdit*>(watched);
        const auto* picker = qobject_cast<DatePicker*>(watched);
        if ((field != nullptr && field->hasSelectedText()) ||
            (picker != nullptr && picker->hasUserSelection()))
            return false;
        event->ignore();
        return true;
    }
};

} // namespace

void InstallCopyShortcut(QWidget& screen, std::function<QString()> text) {
    auto* key = new CopyKey(screen); // the screen's child
    QObject::connect(key, &QShortcut::activated, &screen, [text = std::move(text)] {
        const QString copied = text();
        if (!copied.isEmpty())
            QGuiApplication::clipboard()->setText(copied);
    });
    for (QLineEdit* field : screen.findChildren<QLineEdit*>()) {
        // Inner line edits of date pickers are reached through the picker, which has the focus.
        if (qobject_cast<QAbstractSpinBox*>(field->parentWidget()) == nullptr)
            field->installEventFilter(key);
    }
    for (DatePicker* picker : screen.findChildren<DatePicker*>())
        picker->installEventFilter(key);
}

} // namespace kw
