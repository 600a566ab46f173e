#include "Announce.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>
#include <QWidget>

#include <mutex>

namespace kw {

namespace {

#ifndef Q_OS_WIN
// A text field as assistive technology reads it, as Qt's own line edit has it but for one thing:
// Qt 6.4 says that each character is a run of text attributes of its own, an empty one (from the
// offset to the offset), and Orca, which builds the line it speaks from those runs, leaves the
// last character out ("12,3" for 12,35, "14,2 selected" for 14,28). Here the whole text is one run.
class FieldAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit FieldAccessible(QLineEdit* field)
        : QAccessibleWidget(field, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? field().text() : QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = field().isReadOnly();
        s.editable = !s.readOnly;
        s.selectableText = true;
        return s;
    }

    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
    void selection(int index, int* start, int* end) const override {
        *start = index == 0 && field().hasSelectedText() ? field().selectionStart() : 0;
        *end = *start + (index == 0 ? int(field().selectedText().size()) : 0);
    }
    int selectionCount() const override { return field().hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { field().deselect(); }
    void setSelection(int, int start, int end) override { field().setSelection(start, end - start); }
    int cursorPosition() const override { return field().cursorPosition(); }
    void setCursorPosition(int position) override { field().setCursorPosition(position); }
    QString text(int start, int end) const override {
        return start > end ? QString() : field().text().mid(start, end - start);
    }
    int characterCount() const override { return int(field().text().size()); }
    QRect characterRect(int offset) const override {
        const QFontMetrics metrics(field().font());
        const QString character = text(offset, offset + 1);
        if (character.isEmpty())
            return {};
        // Measured from where the text cursor is, whatever the field's alignment and scrolling.
        const QRect cursor = field().inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QString all = field().text();
        const int x = cursor.x() + metrics.horizontalAdvance(all.left(offset)) -
                      metrics.horizontalAdvance(all.left(field().cursorPosition()));
        return {field().mapToGlobal(QPoint(x, cursor.top())),
                QSize(metrics.horizontalAdvance(character), cursor.height())};
    }
    int offsetAtPoint(const QPoint& point) const override {
        return field().cursorPositionAt(field().mapFromGlobal(point));
    }
    void scrollToSubstring(int, int end) override { setCursorPosition(end); }

private:
    QLineEdit& field() const { return *static_cast<QLineEdit*>(widget()); }
};

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
    if (auto* field = qobject_cast<QLineEdit*>(object);
        field != nullptr && field->echoMode() == QLineEdit::Normal)
        return new FieldAccessible(field);
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
