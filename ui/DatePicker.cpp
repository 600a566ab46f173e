#include "DatePicker.h"

#include "core/Patterns.h"

namespace kw {

DatePicker::DatePicker(QWidget* parent)
    : QDateEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    setDateRange(QDate(2000, 1, 1), QDate(9999, 12, 31));
}

DateTime DatePicker::value() const {
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
    const DateTime now =
        DateTime::fromDate(QDate::currentDate(), QTime::currentTime().hour(), QTime::currentTime().minute());
    picker.setValue(now);
    picker.setValueFromText(FormatDateTime(picker.value(), u"dd-MM-yy", QLocale::c()));
}

} // namespace kw
