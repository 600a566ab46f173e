#pragma once

#include "ScreenWindow.h"
#include "core/Voyage.h"

#include <memory>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace Ui {
class Form1;
}

namespace kw {

class DatePicker;

// The passage inputs; "Bereken ETA" fills the results screen and shows it.
class EtaCalculator final : public ScreenWindow {
    Q_OBJECT

public:
    struct Controls {
        DatePicker* sailDate;
        QLineEdit* departureTime;
        QLineEdit* timeDifference;
        QLineEdit* distance;
        QLineEdit* startSpeed;
        QLineEdit* speedStep;
        QRadioButton* noDateLine;
        QRadioButton* dateLineDayForward;
        QRadioButton* dateLineDayBack;
        QPushButton* calculate;
        QPushButton* speedCalculator;
        QPushButton* menu;
        QPushButton* endProgram;
    };

    explicit EtaCalculator(Navigation& navigation);
    ~EtaCalculator() override;
    Q_DISABLE_COPY_MOVE(EtaCalculator)

    const Controls& controls() const noexcept { return m_controls; }
    DateLine dateLine() const noexcept { return m_dateLine; }
    QWidget* inputField(Input input) const override;

private:
    void calculate();

    std::unique_ptr<Ui::Form1> m_ui;
    Controls m_controls;
    DateLine m_dateLine = DateLine::NotCrossed;
};

} // namespace kw
