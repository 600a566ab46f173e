#include "DatePicker.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <utility>

namespace kw {

namespace {

const QString DisplayFormat = QStringLiteral("dd-MM-yyyy");

} // namespace

DatePicker::DatePicker(QWidget* parent)
    : QDateEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(DisplayFormat);
    setDateRange(QDate(2000, 1, 1), QDate(9999, 12, 31));
    connect(lineEdit(), &QLineEdit::textChanged, this, &DatePicker::keepTextAndDateTogether);
    connect(lineEdit(), &QLineEdit::selectionChanged, this, [this] {
        if (QGuiApplication::mouseButtons() != Qt::NoButton)
            m_userSelection = lineEdit()->hasSelectedText();
    });
    m_settleSoon.setSingleShot(true);
    m_settleSoon.setInterval(0);
    connect(&m_settleSoon, &QTimer::timeout, this, &DatePicker::settle);
}

void DatePicker::keyPressEvent(QKeyEvent* event) {
    const bool wasTyping = std::exchange(m_typing, true);
    const QString selected = lineEdit()->selectedText();
    const int from = lineEdit()->selectionStart();
    QDateEdit::keyPressEvent(event);
    m_typing = wasTyping;
    if (lineEdit()->selectedText() != selected || lineEdit()->selectionStart() != from)
        m_userSelection = lineEdit()->hasSelectedText() && ((event->modifiers() & Qt::ShiftModifier) != 0 ||
                                                            event->matches(QKeySequence::SelectAll));
}

void DatePicker::focusInEvent(QFocusEvent* event) {
    QDateEdit::focusInEvent(event);
    // Coming back with its window keeps what was selected; otherwise the picker selects a part.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        m_userSelection = false;
}

bool DatePicker::hasUserSelection() const {
    return m_userSelection && lineEdit()->hasSelectedText();
}

void DatePicker::inputMethodEvent(QInputMethodEvent* event) {
    const bool wasTyping = std::exchange(m_typing, true);
    QDateEdit::inputMethodEvent(event);
    m_typing = wasTyping;
}

// Typing goes through the picker's own section-by-section checks, which may pass through a half
// typed date on the way. Text set any other way (a screen reader, a test robot, the accessibility
// interface) reaches the line edit unchecked, and the picker's own handling of it may even pick a
// day remembered from an earlier input. Once that handling is done, a whole date in range is taken
// as it was set, and anything else makes way for the date the picker holds: what it shows is always
// the date a calculation uses.
void DatePicker::keepTextAndDateTogether(const QString& text) {
    if (m_typing || m_correcting)
        return;
    if (!m_pending)
        m_settleSoon.start(); // once the picker's own handling of the change is done
    if (!m_pending || text != date().toString(DisplayFormat))
        m_setText = text;
    m_pending = true;
}

void DatePicker::settle() {
    if (!m_pending)
        return;
    m_pending = false;
    const bool wasCorrecting = std::exchange(m_correcting, true);
    const QDate set = QDate::fromString(m_setText, DisplayFormat);
    if (set.isValid() && set >= minimumDate() && set <= maximumDate() &&
        set.toString(DisplayFormat) == m_setText)
        setDate(set);
    const QString shown = date().toString(DisplayFormat);
    if (lineEdit()->text() != shown)
        lineEdit()->setText(shown);
    m_correcting = wasCorrecting;
}

DateTime DatePicker::value() {
    settle();
    return DateTime::fromDate(date());
}

void DatePicker::setValue(DateTime value) {
    setDate(value.date());
}

bool DatePicker::setValueFromText(const QString& text) {
    QDate parsed = QDate::fromString(text, QStringLiteral("dd-MM-yyyy"));
    if (!parsed.isValid()) {
        // Two-digit years belong to this century: the picker starts at 2000.
        parsed = QDate::fromString(text, QStringLiteral("dd-MM-yy"));
        if (parsed.isValid())
            parsed = QDate(2000 + parsed.year() % 100, parsed.month(), parsed.day());
    }
    if (!parsed.isValid())
        return false;
    setDate(parsed);
    return true;
}

void SetPickerToToday(DatePicker& picker) {
    picker.setValue(DateTime::fromDate(QDate::currentDate()));
}

} // namespace kw
