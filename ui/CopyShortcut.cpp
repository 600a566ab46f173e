#include "CopyShortcut.h"

#include <QAbstractSpinBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

namespace kw {

namespace {

// A line edit claims the copy key whether or not it has anything selected. Without a selection its
// claim is declined here, and the key goes on to the screen's shortcut.
class SelectionFirst final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride ||
            !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy))
            return false;
        const QLineEdit* field = qobject_cast<QLineEdit*>(watched);
        if (field == nullptr) {
            // A date picker's own text lies in its inner line edit.
            if (const auto* spinBox = qobject_cast<QAbstractSpinBox*>(watched))
                field = spinBox->findChild<QLineEdit*>();
        }
        if (field == nullptr || field->hasSelectedText())
            return false;
        event->ignore();
        return true;
    }
};

} // namespace

void InstallCopyShortcut(QWidget& screen, std::function<QString()> text) {
    auto* shortcut = new QShortcut(QKeySequence::Copy, &screen);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &screen, [text = std::move(text)] {
        const QString copied = text();
        if (!copied.isEmpty())
            QGuiApplication::clipboard()->setText(copied);
    });
    auto* filter = new SelectionFirst(&screen);
    for (QLineEdit* field : screen.findChildren<QLineEdit*>()) {
        // Inner line edits of date pickers are reached through the picker, which has the focus.
        if (qobject_cast<QAbstractSpinBox*>(field->parentWidget()) == nullptr)
            field->installEventFilter(filter);
    }
    for (QAbstractSpinBox* picker : screen.findChildren<QAbstractSpinBox*>())
        picker->installEventFilter(filter);
}

QString TabSeparated(const QList<QStringList>& lines) {
    QString text;
    for (const QStringList& cells : lines) {
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i > 0)
                text += u'\t';
            text += cells[i].trimmed();
        }
        text += u'\n';
    }
    return text;
}

} // namespace kw
