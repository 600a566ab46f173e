#include "ErrorBoundary.h"

#include "calc/RunTimeError.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>

namespace kw {

namespace {

QWidget* fieldOf(const QWidget& screen, const RunTimeError& error) {
    if (error.field().isEmpty())
        return nullptr;
    return screen.findChild<QWidget*>(error.field());
}

} // namespace

QString DescribeError(const QWidget& screen, const RunTimeError& error) {
    QString label;
    if (QWidget* field = fieldOf(screen, error)) {
        const auto labels = screen.findChildren<QLabel*>();
        for (const QLabel* candidate : labels) {
            if (candidate->buddy() == field)
                label = candidate->text().remove(u'&').simplified();
        }
    }
    return ErrorMessage(error, label, QLocale());
}

void FocusField(QWidget& screen, const RunTimeError& error) {
    QWidget* field = fieldOf(screen, error);
    if (!field)
        return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}

} // namespace kw
