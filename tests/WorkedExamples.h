#pragma once

// The worked examples every level of the tests starts from.

#include "core/Voyage.h"

// 1 March 2002, 08.00, time difference 1, no date line, 120 miles, 10 knots, step 5.
inline kw::EtaInput workedPassage() {
    kw::EtaInput input;
    input.sailDate = kw::DateTime::fromDate(QDate(2002, 3, 1));
    input.departureTime = QStringLiteral("08.00");
    input.timeDifference = QStringLiteral("1");
    input.distance = QStringLiteral("120");
    input.startSpeed = QStringLiteral("10");
    input.speedStep = QStringLiteral("5");
    return input;
}

// 6 December 2026 08.00 to 7 December 2026 14.30, time difference 1, no date line, 300 miles: 10.16.
inline kw::SpeedInput workedSpeed() {
    kw::SpeedInput input;
    input.departureDate = kw::DateTime::fromDate(QDate(2026, 12, 6));
    input.arrivalDate = kw::DateTime::fromDate(QDate(2026, 12, 7));
    input.departureTime = QStringLiteral("08.00");
    input.arrivalTime = QStringLiteral("14.30");
    input.timeDifference = QStringLiteral("1");
    input.distance = QStringLiteral("300");
    return input;
}
