#include "PrintList.h"

#include "calc/Numbers.h"

namespace kw {

PrintItem PrintItem::integer(qint16 value, Separator separator, const QLocale& locale) {
    return {ItemKind::Integer16, NumberText(value, locale), separator};
}

PrintItem PrintItem::real(double value, Separator separator, const QLocale& locale) {
    return {ItemKind::Double, NumberText(value, locale), separator};
}

QByteArray Descriptor(const PrintList& list) {
    QByteArray bytes;
    const auto count = static_cast<quint16>(list.size());
    bytes.append(char(count & 0xff));
    bytes.append(char(count >> 8));
    for (const PrintItem& item : list)
        bytes.append(char(quint8(item.kind) | quint8(item.separator)));
    return bytes;
}

} // namespace kw
