#include "CopyShortcut.h"

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
    for (QAbstractSpinBox* picker : screen.findChildren<QAbstractSpinBox*>())
        picker->installEventFilter(key);
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
