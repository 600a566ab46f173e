// libFuzzer target over the calculation core: the text-to-number conversion, ClockTextToMinutes,
// the display patterns and both calculations, fed random texts. A failure must be a RunTimeError of
// a kind that step can raise; anything else, or a sanitizer report, is a finding.
//
// Input: one byte choosing the locale, then fields separated by newlines.

#include "core/Voyage.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>

using namespace kw;

namespace {

template <typename Call> bool failsOnlyWith(Call&& call, std::initializer_list<ErrorKind> allowed) {
    try {
        call();
        return true;
    } catch (const RunTimeError& error) {
        for (ErrorKind kind : allowed) {
            if (error.kind() == kind)
                return false;
        }
        std::abort(); // a failure of the wrong kind
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    static const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
    static const QLocale cLocale = QLocale::c();
    const QLocale& locale = (data[0] & 1) ? dutch : cLocale;
    QStringList fields =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1))
            .split(u'\n');
    while (fields.size() < 6)
        fields << QStringLiteral("1");

    double number = 0.0;
    failsOnlyWith([&] { number = TextToNumber(fields[0], locale); },
                  {ErrorKind::TypeMismatch, ErrorKind::FloatOverflow});
    if (!std::isfinite(number))
        std::abort();

    failsOnlyWith(
        [&] {
            const ClockMinutes clock = ClockTextToMinutes(fields[0], locale);
            if (clock.total != clock.hours * 60 + clock.minutePart)
                std::abort();
        },
        {ErrorKind::TypeMismatch, ErrorKind::Overflow, ErrorKind::FloatOverflow,
         ErrorKind::InvalidOperation});

    for (const char16_t* pattern : {u" ###00.00", u"###.00", u"##.00", u"00"}) {
        const QString text = FormatNumber(number, pattern, locale);
        if (text.isEmpty())
            std::abort();
    }
    failsOnlyWith(
        [&] {
            const DateTime when = AddMinutes(DateTime::fromDate(QDate(2026, 12, 6)), number);
            for (const char16_t* pattern :
                 {u"dd-MM-yyyy hh:mm", u" dd-MM-yyyy hh:mm", u"dd-MM-yyyy h:mm", u"dd-MM-yy", u" dddd "})
                FormatDateTime(when, pattern, locale);
        },
        {ErrorKind::DateOutOfRange, ErrorKind::InvalidOperation, ErrorKind::FloatOverflow});

    const std::initializer_list<ErrorKind> calculationKinds = {
        ErrorKind::TypeMismatch,     ErrorKind::Overflow,      ErrorKind::DivisionByZero,
        ErrorKind::InvalidOperation, ErrorKind::FloatOverflow, ErrorKind::DateOutOfRange};
    EtaInput eta;
    eta.sailDate = DateTime::fromDate(QDate(2002, 3, 1));
    eta.departureTime = fields[0];
    eta.timeDifference = fields[1];
    eta.distance = fields[2];
    eta.startSpeed = fields[3];
    eta.speedStep = fields[4];
    constexpr DateLine dateLines[] = {DateLine::DayBack, DateLine::NotCrossed, DateLine::DayForward};
    eta.dateLine = dateLines[(data[0] >> 1) % 3];
    failsOnlyWith([&] { CalculateEta(eta, locale); }, calculationKinds);

    SpeedInput speed;
    speed.departureDate = DateTime::fromDate(QDate(2026, 12, 6));
    speed.arrivalDate = DateTime::fromDate(QDate(2026, 12, 7));
    speed.departureTime = fields[0];
    speed.arrivalTime = fields[5];
    speed.timeDifference = fields[1];
    speed.distance = fields[2];
    speed.dateLine = eta.dateLine;
    failsOnlyWith(
        [&] {
            const SpeedResult result = CalculateSpeed(speed, locale);
            SplitSteamingHours(result.steamingHours);
        },
        calculationKinds);
    return 0;
}
