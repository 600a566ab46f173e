#include "SpeedCalculator.h"

#include "Announce.h"
#include "CopyShortcut.h"
#include "DateLineOptions.h"
#include "DatePicker.h"
#include "EtaCalculator.h"
#include "MainMenu.h"
#include "Navigation.h"
#include "report/Reports.h"
#include "ui_SpeedCalculator.h"

namespace kw {

SpeedCalculator::SpeedCalculator(Navigation& navigation)
    : ScreenWindow(navigation)
    , m_ui(std::make_unique<Ui::Form3>()) {
    m_ui->setupUi(this);
    ApplyScreenFrame(*this);
    m_controls = {m_ui->SDate,    m_ui->STime,    m_ui->ADate,    m_ui->ATime,    m_ui->TimeDiff,
                  m_ui->Dist,     m_ui->Option1,  m_ui->Option2,  m_ui->Option3,  m_ui->Text1,
                  m_ui->Command1, m_ui->Command4, m_ui->Command2, m_ui->Command3, m_ui->Command5};
    const Controls& c = m_controls;
    SetPickerToToday(*c.departureDate);
    SetPickerToToday(*c.arrivalDate);
    WireDateLineOptions(*this, {c.noDateLine, c.dateLineDayForward, c.dateLineDayBack}, m_dateLine);
    c.averageSpeed->setAccessibleName(m_ui->Label5->text());
    InstallCopyShortcut(*this, [this] { return m_hasCalculation ? copyText() : QString(); });

    m_navigation.onClick(*this, c.calculate, [this] { calculate(); });
    m_navigation.onClick(*this, c.print, [this] { print(); });
    m_navigation.onClick(*this, c.etaCalculator,
                         [this] { m_navigation.go(*this, m_navigation.etaCalculator()); });
    m_navigation.onClick(*this, c.menu, [this] { m_navigation.go(*this, m_navigation.menu()); });
    m_navigation.onClick(*this, c.endProgram, [this] { m_navigation.endProgram(); });
}

SpeedCalculator::~SpeedCalculator() = default;

QWidget* SpeedCalculator::inputField(Input input) const {
    switch (input) {
    case Input::DepartureTime:
        return m_controls.departureTime;
    case Input::ArrivalTime:
        return m_controls.arrivalTime;
    case Input::TimeDifference:
        return m_controls.timeDifference;
    case Input::Distance:
        return m_controls.distance;
    case Input::StartSpeed:
    case Input::SpeedStep:
    case Input::None:
        break;
    }
    return nullptr;
}

void SpeedCalculator::calculate() {
    const Controls& c = m_controls;
    SpeedInput input;
    input.departureDate = c.departureDate->value();
    input.arrivalDate = c.arrivalDate->value();
    input.departureTime = c.departureTime->text();
    input.arrivalTime = c.arrivalTime->text();
    input.timeDifference = c.timeDifference->text();
    input.distance = c.distance->text();
    input.dateLine = m_dateLine;
    const QLocale locale;
    // Nothing is stored until the whole calculation has succeeded.
    const SpeedResult result = CalculateSpeed(input, locale);
    const QString speed = FormatNumber(result.averageSpeed, u"##.00", locale);
    AnnounceText(*c.averageSpeed, speed, m_ui->Label5->text() + u' ' + speed);
    m_last = result;
    m_hasCalculation = true;
}

QString SpeedCalculator::copyText() const {
    return SpeedCopyText(m_last, m_ui->Label5->text(), QLocale());
}

void SpeedCalculator::print() {
    // The report's steps in their order: the split, which can overflow, before the printer opens.
    const SteamingTime steam = SplitSteamingHours(m_last.steamingHours);
    m_navigation.print(*this, m_controls.print, SpeedReportJob(m_last, steam, QLocale()));
}

} // namespace kw
