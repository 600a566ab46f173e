#pragma once

#include "core/RunTimeError.h"

#include <QString>

#include <exception>

class QWidget;

namespace kw {

// The field of `screen` that holds `input`; null when the screen has none for it.
QWidget* InputField(QWidget& screen, Input input);

// The message for an error on `screen`: the field is named by the caption of the label whose buddy
// it is.
QString DescribeError(const QWidget& screen, const QWidget* field, const RunTimeError& error);

// The message for a failure that is no RunTimeError: not expected from our own code.
QString UnexpectedErrorMessage(const std::exception& error);

// Puts the keyboard focus on the field, its text selected for retyping.
void FocusField(QWidget* field);

} // namespace kw
