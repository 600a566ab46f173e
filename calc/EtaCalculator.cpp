#include "EtaCalculator.h"

#include "EtaResults.h"
#include "SpeedCalculator.h"
#include "Voyage.h"
#include "app/MainMenu.h"
#include "app/Screens.h"
#include "ui_Form1.h"

namespace kw {

EtaCalculator::EtaCalculator(Screens& screens)
    : ScreenWindow(screens)
    , m_ui(std::make_unique<Ui::Form1>()) {
    m_ui->setupUi(this);
    ApplyScreenFrame(*this);
    SetPickerToToday(*m_ui->SailDate);

    const auto option = [this](QRadioButton* button, qint16 hours) {
        connect(button, &QRadioButton::toggled, this, [this, hours](bool on) {
            if (on)
                m_dateLineCorrection = hours;
        });
    };
    option(m_ui->Option1, 0);
    option(m_ui->Option2, 24);
    option(m_ui->Option3, -24);

    m_screens.onClick(*this, m_ui->Command1, [this] { calculate(); });
    m_screens.onClick(*this, m_ui->Command2, [this] {
        m_screens.show(m_screens.Form3());
        m_screens.hide(*this);
    });
    m_screens.onClick(*this, m_ui->Command3, [this] {
        m_screens.hide(*this);
        m_screens.show(m_screens.Start());
    });
    m_screens.onClick(*this, m_ui->Command4, [this] { m_screens.endProgram(); });
}

EtaCalculator::~EtaCalculator() = default;

void EtaCalculator::calculate() {
    EtaInput input;
    input.sailDate = m_ui->SailDate->value();
    input.sTime = m_ui->STime->text();
    input.timeDiff = m_ui->TimeDiff->text();
    input.dist = m_ui->Dist->text();
    input.vaart = m_ui->Vaart->text();
    input.vvers = m_ui->VVers->text();
    input.dateLineCorrection = m_dateLineCorrection;
    // Computed whole before anything is written: a failure leaves both screens as they were.
    const EtaTable table = CalculateEta(input, QLocale());
    EtaResults& results = m_screens.Form2();
    results.setTable(table);
    m_screens.show(results);
}

} // namespace kw
