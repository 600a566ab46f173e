#pragma once

#include "ScreenWindow.h"
#include "core/Voyage.h"

#include <memory>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace Ui {
class Form3;
}

namespace kw {

class DatePicker;

// Steaming time and average speed over a passage. It keeps the last completed calculation whole,
// for the screen and for the printed report.
class SpeedCalculator final : public ScreenWindow {
    Q_OBJECT

public:
    struct Controls {
        DatePicker* departureDate;
        QLineEdit* departureTime;
        DatePicker* arrivalDate;
        QLineEdit* arrivalTime;
        QLineEdit* timeDifference;
        QLineEdit* distance;
        QRadioButton* noDateLine;
        QRadioButton* dateLineDayForward;
        QRadioButton* dateLineDayBack;
        QLineEdit* averageSpeed;
        QPushButton* calculate;
        QPushButton* print;
        QPushButton* etaCalculator;
        QPushButton* menu;
        QPushButton* endProgram;
    };

    explicit SpeedCalculator(Navigation& navigation);
    ~SpeedCalculator() override;
    Q_DISABLE_COPY_MOVE(SpeedCalculator)

    const Controls& controls() const noexcept { return m_controls; }
    DateLine dateLine() const noexcept { return m_dateLine; }
    const SpeedResult& lastCalculation() const noexcept { return m_last; }
    QWidget* inputField(Input input) const override;
    // The last calculation with its captions, for the clipboard.
    QString copyText() const;

private:
    void calculate();
    void print();

    std::unique_ptr<Ui::Form3> m_ui;
    Controls m_controls;
    DateLine m_dateLine = DateLine::NotCrossed;
    SpeedResult m_last; // and what it was computed from
    bool m_hasCalculation = false;
};

} // namespace kw
