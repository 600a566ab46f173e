#pragma once

// Which paper a report goes on, from what the print system says of the default printer. Kept free of
// the print systems' headers, so that tests feed it recorded answers.

#include <QLocale>
#include <QSizeF>
#include <QStringList>

#include <optional>

namespace kw {

// The size in millimetres, width by height, that a self-describing media name carries as its last
// part ("iso_a4_210x297mm", "na_letter_8.5x11in", "custom_148.52x209.9mm"); none for a name
// without one or for the bounds of a custom range ("custom_min_…", "custom_max_…").
std::optional<QSizeF> MediaSize(const QString& name);

// The paper of the printer's default ("media-default"), else of the queue's own default, else the
// locale's paper (Letter where the locale measures in US units, A4 elsewhere) where the printer has
// it or does not say what it has, else the first paper the printer has; a media name.
QString ChoosePaper(const QString& printerDefault, const QString& queueDefault, const QStringList& supported,
                    QLocale::MeasurementSystem measurement);

} // namespace kw
