#pragma once

#include "Voyage.h"
#include "app/ScreenWindow.h"

#include <memory>

namespace Ui {
class Form3;
}

namespace kw {

// `Form3`: steaming time and average speed over a passage. It keeps the last completed
// calculation whole, for the screen and for the printed report.
class SpeedCalculator final : public ScreenWindow {
    Q_OBJECT

public:
    explicit SpeedCalculator(Screens& screens);
    ~SpeedCalculator() override;
    Q_DISABLE_COPY_MOVE(SpeedCalculator)

    double DateLineCorrection() const noexcept { return m_dateLineCorrection; }
    const SpeedResult& lastCalculation() const noexcept { return m_last; }
    const SteamingTime& steamingTime() const noexcept { return m_steam; }

private:
    void calculate();
    void print();

    std::unique_ptr<Ui::Form3> m_ui;
    double m_dateLineCorrection = 0.0;
    SpeedResult m_last;   // Departure, Arrival, SteamingHours, AverageSpeed and what they were computed from
    SteamingTime m_steam; // SteamHours and SteamMinutes, as the last report split them
};

} // namespace kw
