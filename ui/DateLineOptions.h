#pragma once

#include "core/Voyage.h"

#include <QRadioButton>

#include <array>

namespace kw {

// The three date-line option buttons of a calculator, in the order no crossing, a day forward, a
// day back: checking one sets `choice`, which lives as long as the screen that owns the buttons.
inline void WireDateLineOptions(QWidget& screen, const std::array<QRadioButton*, 3>& buttons,
                                DateLine& choice) {
    constexpr std::array<DateLine, 3> values{DateLine::NotCrossed, DateLine::DayForward, DateLine::DayBack};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        QObject::connect(buttons[i], &QRadioButton::toggled, &screen, [&choice, value = values[i]](bool on) {
            if (on)
                choice = value;
        });
    }
}

} // namespace kw
