#pragma once

#include "core/DateTime.h"

#include <QDateEdit>
#include <QTimer>

namespace kw {

// The calculators' date field: 1 January 2000 to 31 December 9999, shown as dd-MM-yyyy with a
// calendar to pick from. Its value is always a date at 00:00, since the calculators add the typed
// clock time to it.
class DatePicker final : public QDateEdit {
    Q_OBJECT

public:
    explicit DatePicker(QWidget* parent = nullptr);

    // The date shown; text set from outside and not yet checked is checked first.
    DateTime value();
    void setValue(DateTime value); // the time of day is dropped
    // Reads "dd-MM-yy" (years 2000 onward) or "dd-MM-yyyy"; false for a text that is no such date.
    bool setValueFromText(const QString& text);
    // Text the user selected, with the mouse or with Shift: the part of the date that the picker
    // selects by itself as the focus or an arrow key moves to it is no selection of the user's.
    bool hasUserSelection() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    // Tab leaves the picker like any other field; the arrow keys still move between day, month and year.
    // Passing over QDateTimeEdit's own version, which steps through the sections, is the point.
    bool focusNextPrevChild(bool next) override {
        return QWidget::focusNextPrevChild(next); // NOLINT(bugprone-parent-virtual-call)
    }

private:
    void keepTextAndDateTogether(const QString& text);
    void settle();

    bool m_typing = false;
    bool m_correcting = false;
    bool m_pending = false;
    bool m_userSelection = false;
    QString m_setText;
    QTimer m_settleSoon;
};

// Today's date at 00:00.
void SetPickerToToday(DatePicker& picker);

} // namespace kw
