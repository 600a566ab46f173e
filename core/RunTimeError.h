#pragma once

#include <QLocale>
#include <QString>

#include <exception>

namespace kw {

// Every failure of a handler is one of these; the error boundary of the screens is the only place
// that catches them, so a handler stops at its failing step and the program goes on.
enum class ErrorKind {
    TypeMismatch,
    Overflow,
    DivisionByZero,
    InvalidOperation,
    FloatOverflow,
    DateOutOfRange,
    Printer,
};

// What the user should have typed, so the message can say so.
enum class Expected { Nothing, ClockTime, Number };

// The input a failure concerns. Each screen knows which of its fields holds which input.
enum class Input { None, DepartureTime, ArrivalTime, TimeDifference, Distance, StartSpeed, SpeedStep };

class RunTimeError final : public std::exception {
public:
    explicit RunTimeError(ErrorKind kind, Input input = Input::None, Expected expected = Expected::Nothing,
                          QString detail = {});

    ErrorKind kind() const noexcept { return m_kind; }
    Input input() const noexcept { return m_input; }
    Expected expected() const noexcept { return m_expected; }
    const QString& detail() const noexcept { return m_detail; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    ErrorKind m_kind;
    Input m_input;
    Expected m_expected;
    QString m_detail;
    QByteArray m_what;
};

// The Dutch text shown to the user. fieldLabel is the caption of the label beside the field.
QString ErrorMessage(const RunTimeError& error, const QString& fieldLabel, const QLocale& locale);

} // namespace kw
