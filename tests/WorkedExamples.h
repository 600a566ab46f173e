#pragma once

// The worked examples every level of the tests starts from.

#include "calc/Voyage.h"

// 1 March 2002, 08.00, time difference 1, no date line, 120 miles, 10 knots, step 5.
inline kw::EtaInput workedPassage() {
    kw::EtaInput input;
    input.sailDate = kw::DateTime::fromDate(QDate(2002, 3, 1));
    input.sTime = QStringLiteral("08.00");
    input.timeDiff = QStringLiteral("1");
    input.dist = QStringLiteral("120");
    input.vaart = QStringLiteral("10");
    input.vvers = QStringLiteral("5");
    return input;
}

// 6 December 2026 08.00 to 7 December 2026 14.30, time difference 1, no date line, 300 miles: 10.16.
inline kw::SpeedInput workedSpeed() {
    kw::SpeedInput input;
    input.sDate = kw::DateTime::fromDate(QDate(2026, 12, 6));
    input.aDate = kw::DateTime::fromDate(QDate(2026, 12, 7));
    input.sTime = QStringLiteral("08.00");
    input.aTime = QStringLiteral("14.30");
    input.timeDiff = QStringLiteral("1");
    input.dist = QStringLiteral("300");
    return input;
}
