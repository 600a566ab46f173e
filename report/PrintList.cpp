#include "PrintList.h"

#include "core/Numbers.h"

namespace kw {

PrintItem PrintItem::integer(qint16 value, Separator separator, const QLocale& locale) {
    return {NumberText(value, locale), separator};
}

PrintItem PrintItem::real(double value, Separator separator, const QLocale& locale) {
    return {NumberText(value, locale), separator};
}

} // namespace kw
