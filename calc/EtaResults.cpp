#include "EtaResults.h"

#include "EtaCalculator.h"
#include "app/MainMenu.h"
#include "app/Screens.h"
#include "report/Reports.h"
#include "ui_Form2.h"

namespace kw {

EtaResults::EtaResults(Screens& screens)
    : ScreenWindow(screens)
    , m_ui(std::make_unique<Ui::Form2>()) {
    m_ui->setupUi(this);
    ApplyScreenFrame(*this);
    for (int i = 0; i < EtaRowCount; ++i) {
        m_speed[i] = findChild<QLineEdit*>(QStringLiteral("Speed_%1").arg(i));
        m_etaDay[i] = findChild<QLineEdit*>(QStringLiteral("ETADay_%1").arg(i));
        m_etaDate[i] = findChild<QLineEdit*>(QStringLiteral("ETADate_%1").arg(i));
        Q_ASSERT(m_speed[i] && m_etaDay[i] && m_etaDate[i]);
    }
    // The date cells start with runs of blanks; a .ui file cannot hold a text of blanks alone.
    constexpr int initialBlanks[EtaRowCount] = {0, 8, 12, 21, 10, 32, 17, 13, 10, 17, 14};
    for (int i = 0; i < EtaRowCount; ++i)
        m_etaDate[i]->setText(QString(initialBlanks[i], u' '));

    m_screens.onClick(*this, m_ui->Command1, [this] {
        m_screens.show(m_screens.Form1());
        m_screens.hide(*this);
    });
    m_screens.onClick(*this, m_ui->Command2, [this] { print(); });
    m_screens.onClick(*this, m_ui->Command3, [this] {
        m_screens.show(m_screens.Start());
        m_screens.hide(*this);
    });
    m_screens.onClick(*this, m_ui->Command4, [this] { m_screens.endProgram(); });
}

EtaResults::~EtaResults() = default;

void EtaResults::setTable(const EtaTable& table) {
    for (int i = 0; i < EtaRowCount; ++i) {
        m_speed[i]->setText(table.rows[i].speed);
        m_etaDay[i]->setText(table.rows[i].day);
        m_etaDate[i]->setText(table.rows[i].date);
    }
    m_ui->Text1->setText(table.departure);
    m_ui->Text2->setText(table.distance);
    m_ui->Text3->setText(table.dateLine);
    m_ui->Text4->setText(table.timeDiff);
}

EtaTable EtaResults::table() const {
    EtaTable table;
    for (int i = 0; i < EtaRowCount; ++i)
        table.rows[i] = {m_speed[i]->text(), m_etaDay[i]->text(), m_etaDate[i]->text()};
    table.departure = m_ui->Text1->text();
    table.distance = m_ui->Text2->text();
    table.dateLine = m_ui->Text3->text();
    table.timeDiff = m_ui->Text4->text();
    return table;
}

void EtaResults::print() {
    const std::unique_ptr<TextDevice> device =
        m_screens.printerDevice(QStringLiteral("ETA Calculator Resultaten"));
    ReportPrinter printer(*device);
    PrintEtaReport(printer, table());
}

} // namespace kw
