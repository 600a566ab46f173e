#pragma once

#include "app/ScreenWindow.h"

#include <memory>

namespace Ui {
class Form1;
}

namespace kw {

// `Form1`: the passage inputs; "Bereken ETA" fills the results screen and shows it.
class EtaCalculator final : public ScreenWindow {
    Q_OBJECT

public:
    explicit EtaCalculator(Screens& screens);
    ~EtaCalculator() override;
    Q_DISABLE_COPY_MOVE(EtaCalculator)

    qint16 DateLineCorrection() const noexcept { return m_dateLineCorrection; }

private:
    void calculate();

    std::unique_ptr<Ui::Form1> m_ui;
    qint16 m_dateLineCorrection = 0;
};

} // namespace kw
