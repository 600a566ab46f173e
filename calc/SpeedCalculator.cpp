#include "SpeedCalculator.h"

#include "EtaCalculator.h"
#include "app/MainMenu.h"
#include "app/Screens.h"
#include "report/Reports.h"
#include "ui_Form3.h"

namespace kw {

SpeedCalculator::SpeedCalculator(Screens& screens)
    : ScreenWindow(screens)
    , m_ui(std::make_unique<Ui::Form3>()) {
    m_ui->setupUi(this);
    ApplyScreenFrame(*this);
    SetPickerToToday(*m_ui->SDate);
    SetPickerToToday(*m_ui->ADate);

    const auto option = [this](QRadioButton* button, double hours) {
        connect(button, &QRadioButton::toggled, this, [this, hours](bool on) {
            if (on)
                m_dateLineCorrection = hours;
        });
    };
    option(m_ui->Option1, 0.0);
    option(m_ui->Option2, 24.0);
    option(m_ui->Option3, -24.0);

    m_screens.onClick(*this, m_ui->Command1, [this] { calculate(); });
    m_screens.onClick(*this, m_ui->Command4, [this] { print(); });
    m_screens.onClick(*this, m_ui->Command2, [this] {
        m_screens.show(m_screens.Form1());
        m_screens.hide(*this);
    });
    m_screens.onClick(*this, m_ui->Command3, [this] {
        m_screens.show(m_screens.Start());
        m_screens.hide(*this);
    });
    m_screens.onClick(*this, m_ui->Command5, [this] { m_screens.endProgram(); });
}

SpeedCalculator::~SpeedCalculator() = default;

void SpeedCalculator::calculate() {
    SpeedInput input;
    input.sDate = m_ui->SDate->value();
    input.aDate = m_ui->ADate->value();
    input.sTime = m_ui->STime->text();
    input.aTime = m_ui->ATime->text();
    input.timeDiff = m_ui->TimeDiff->text();
    input.dist = m_ui->Dist->text();
    input.dateLineCorrection = m_dateLineCorrection;
    const QLocale locale;
    // Nothing is stored until the whole calculation has succeeded.
    const SpeedResult result = CalculateSpeed(input, locale);
    m_ui->Text1->setText(FormatNumber(result.averageSpeed, u"##.00", locale));
    m_last = result;
}

void SpeedCalculator::print() {
    const std::unique_ptr<TextDevice> device =
        m_screens.printerDevice(QStringLiteral("SpeedCalculator Resultaten"));
    ReportPrinter printer(*device);
    PrintSpeedReport(printer, m_last, m_steam, QLocale());
}

} // namespace kw
