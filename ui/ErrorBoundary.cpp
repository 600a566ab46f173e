#include "ErrorBoundary.h"

#include "ScreenWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>

namespace kw {

QWidget* InputField(QWidget& screen, Input input) {
    const auto* window = qobject_cast<const ScreenWindow*>(&screen);
    return window != nullptr && input != Input::None ? window->inputField(input) : nullptr;
}

QString DescribeError(const QWidget& screen, const QWidget* field, const RunTimeError& error) {
    QString label;
    if (field != nullptr) {
        const auto labels = screen.findChildren<QLabel*>();
        for (const QLabel* candidate : labels) {
            if (candidate->buddy() == field)
                label = candidate->text().remove(u'&').simplified();
        }
    }
    return ErrorMessage(error, label, QLocale());
}

QString UnexpectedErrorMessage(const std::exception& error) {
    return QStringLiteral("Er is een onverwachte fout opgetreden: %1")
        .arg(QString::fromLocal8Bit(error.what()));
}

void FocusField(QWidget* field) {
    if (field == nullptr)
        return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}

} // namespace kw
