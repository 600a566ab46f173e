#include "RunTimeError.h"

namespace kw {

RunTimeError::RunTimeError(ErrorKind kind, Input input, Expected expected, QString detail)
    : m_kind(kind)
    , m_input(input)
    , m_expected(expected)
    , m_detail(std::move(detail))
    , m_what(QStringLiteral("%1 %2 %3").arg(int(kind)).arg(int(input)).arg(m_detail).toUtf8()) {}

namespace {

QString problem(const RunTimeError& error, const QString& fieldLabel) {
    if (!error.detail().isEmpty())
        return error.detail();
    const QString field = fieldLabel.isEmpty() ? QString() : QStringLiteral("\u201C%1\u201D").arg(fieldLabel);
    switch (error.kind()) {
    case ErrorKind::TypeMismatch:
        return field.isEmpty() ? QStringLiteral("Een invoer is geen geldig getal.")
                               : QStringLiteral("Het veld %1 bevat geen geldig getal.").arg(field);
    case ErrorKind::Overflow:
        return field.isEmpty() ? QStringLiteral("Een tussenuitkomst is te groot.")
                               : QStringLiteral("De waarde in het veld %1 is te groot.").arg(field);
    case ErrorKind::DivisionByZero:
        return QStringLiteral("De berekening deelt door nul.");
    case ErrorKind::InvalidOperation:
        return QStringLiteral("De berekening deelt nul door nul.");
    case ErrorKind::FloatOverflow:
        return QStringLiteral("De uitkomst van de berekening is te groot.");
    case ErrorKind::DateOutOfRange:
        return QStringLiteral("De berekende datum valt buiten het bereik van 1-1-100 tot 31-12-9999.");
    case ErrorKind::Printer:
        return QStringLiteral("Afdrukken is mislukt.");
    }
    return {};
}

} // namespace

QString ErrorMessage(const RunTimeError& error, const QString& fieldLabel, const QLocale& locale) {
    QString text = problem(error, fieldLabel);
    switch (error.expected()) {
    case Expected::ClockTime:
        text += QStringLiteral("\nVerwacht: een tijd als uu.mm, bijvoorbeeld 14.30.");
        break;
    case Expected::Number:
        text += QStringLiteral("\nVerwacht: een getal, bijvoorbeeld 12") + locale.decimalPoint() +
                QStringLiteral("5.");
        break;
    case Expected::Nothing:
        break;
    }
    return text;
}

} // namespace kw
