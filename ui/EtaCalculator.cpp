#include "EtaCalculator.h"

#include "DateLineOptions.h"
#include "DatePicker.h"
#include "EtaResults.h"
#include "MainMenu.h"
#include "Navigation.h"
#include "SpeedCalculator.h"
#include "ui_EtaCalculator.h"

namespace kw {

EtaCalculator::EtaCalculator(Navigation& navigation)
    : ScreenWindow(navigation)
    , m_ui(std::make_unique<Ui::Form1>()) {
    m_ui->setupUi(this);
    ApplyScreenFrame(*this);
    m_controls = {m_ui->SailDate, m_ui->STime,    m_ui->TimeDiff, m_ui->Dist,    m_ui->Vaart,
                  m_ui->VVers,    m_ui->Option1,  m_ui->Option2,  m_ui->Option3, m_ui->Command1,
                  m_ui->Command2, m_ui->Command3, m_ui->Command4};
    const Controls& c = m_controls;
    SetPickerToToday(*c.sailDate);
    WireDateLineOptions(*this, {c.noDateLine, c.dateLineDayForward, c.dateLineDayBack}, m_dateLine);

    m_navigation.onClick(*this, c.calculate, [this] { calculate(); });
    m_navigation.onClick(*this, c.speedCalculator,
                         [this] { m_navigation.go(*this, m_navigation.speedCalculator()); });
    // The one button that hides its screen before showing the next.
    m_navigation.onClick(*this, c.menu, [this] {
        m_navigation.hide(*this);
        m_navigation.show(m_navigation.menu());
    });
    m_navigation.onClick(*this, c.endProgram, [this] { m_navigation.endProgram(); });
}

EtaCalculator::~EtaCalculator() = default;

QWidget* EtaCalculator::inputField(Input input) const {
    switch (input) {
    case Input::DepartureTime:
        return m_controls.departureTime;
    case Input::TimeDifference:
        return m_controls.timeDifference;
    case Input::Distance:
        return m_controls.distance;
    case Input::StartSpeed:
        return m_controls.startSpeed;
    case Input::SpeedStep:
        return m_controls.speedStep;
    case Input::ArrivalTime:
    case Input::None:
        break;
    }
    return nullptr;
}

void EtaCalculator::calculate() {
    const Controls& c = m_controls;
    EtaInput input;
    input.sailDate = c.sailDate->value();
    input.departureTime = c.departureTime->text();
    input.timeDifference = c.timeDifference->text();
    input.distance = c.distance->text();
    input.startSpeed = c.startSpeed->text();
    input.speedStep = c.speedStep->text();
    input.dateLine = m_dateLine;
    // Computed whole before anything is written: a failure leaves both screens as they were.
    const EtaTable table = CalculateEta(input, QLocale());
    EtaResults& results = m_navigation.etaResults();
    results.setTable(table);
    m_navigation.show(results);
}

} // namespace kw
