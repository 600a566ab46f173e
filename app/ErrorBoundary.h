#pragma once

#include <QString>

class QWidget;

namespace kw {

class RunTimeError;

// The message for an error on `screen`: the field is named by the caption of the label whose buddy
// it is.
QString DescribeError(const QWidget& screen, const RunTimeError& error);

// Puts the keyboard focus on the field the error concerns, its text selected for retyping.
void FocusField(QWidget& screen, const RunTimeError& error);

} // namespace kw
