#include "EtaResults.h"

#include "CopyShortcut.h"
#include "EtaCalculator.h"
#include "MainMenu.h"
#include "Navigation.h"
#include "report/Reports.h"
#include "ui_EtaResults.h"

namespace kw {

EtaResults::EtaResults(Navigation& navigation)
    : ScreenWindow(navigation)
    , m_ui(std::make_unique<Ui::Form2>()) {
    m_ui->setupUi(this);
    ApplyScreenFrame(*this);
    Controls& c = m_controls;
    // The rows are control arrays in the layout: one name and an index each.
    for (int i = 0; i < EtaRowCount; ++i) {
        c.speed[i] = findChild<QLineEdit*>(QStringLiteral("Speed_%1").arg(i));
        c.etaDay[i] = findChild<QLineEdit*>(QStringLiteral("ETADay_%1").arg(i));
        c.etaDate[i] = findChild<QLineEdit*>(QStringLiteral("ETADate_%1").arg(i));
        Q_ASSERT(c.speed[i] && c.etaDay[i] && c.etaDate[i]);
    }
    c.departure = m_ui->Text1;
    c.distance = m_ui->Text2;
    c.dateLine = m_ui->Text3;
    c.timeDifference = m_ui->Text4;
    c.newCalculation = m_ui->Command1;
    c.print = m_ui->Command2;
    c.menu = m_ui->Command3;
    c.endProgram = m_ui->Command4;

    // The date cells start with runs of blanks; a .ui file cannot hold a text of blanks alone.
    constexpr int initialBlanks[EtaRowCount] = {0, 8, 12, 21, 10, 32, 17, 13, 10, 17, 14};
    for (int i = 0; i < EtaRowCount; ++i)
        c.etaDate[i]->setText(QString(initialBlanks[i], u' '));

    // A screen reader names each cell after the heading it stands under.
    const QStringList headings = columnHeadings();
    for (int i = 0; i < EtaRowCount; ++i) {
        c.speed[i]->setAccessibleName(headings[0]);
        c.etaDay[i]->setAccessibleName(headings[1]);
        c.etaDate[i]->setAccessibleName(headings[2]);
    }
    c.departure->setAccessibleName(m_ui->Label3->text());
    c.distance->setAccessibleName(m_ui->Label4->text());
    c.dateLine->setAccessibleName(m_ui->Label5->text());
    c.timeDifference->setAccessibleName(m_ui->Label6->text());
    InstallCopyShortcut(*this, [this] { return m_hasTable ? copyText() : QString(); });

    m_navigation.onClick(*this, c.newCalculation,
                         [this] { m_navigation.go(*this, m_navigation.etaCalculator()); });
    m_navigation.onClick(*this, c.print, [this] { print(); });
    m_navigation.onClick(*this, c.menu, [this] { m_navigation.go(*this, m_navigation.menu()); });
    m_navigation.onClick(*this, c.endProgram, [this] { m_navigation.endProgram(); });
}

EtaResults::~EtaResults() = default;

void EtaResults::setTable(const EtaTable& table) {
    const Controls& c = m_controls;
    for (int i = 0; i < EtaRowCount; ++i) {
        c.speed[i]->setText(table.rows[i].speed);
        c.etaDay[i]->setText(table.rows[i].day);
        c.etaDate[i]->setText(table.rows[i].date);
    }
    c.departure->setText(table.departure);
    c.distance->setText(table.distance);
    c.dateLine->setText(table.dateLine);
    c.timeDifference->setText(table.timeDiff);
    m_hasTable = true;
    // A new table is read from its top: the first speed is where the focus is when the screen
    // comes up, so a screen reader says it after the screen's caption.
    c.speed[0]->setFocus(Qt::OtherFocusReason);
}

QStringList EtaResults::columnHeadings() const {
    // One label stands over the weekday and date columns; a run of blanks parts their headings.
    const QString both = m_ui->Label2->text().trimmed();
    const qsizetype gap = both.indexOf(u"  ");
    return {m_ui->Label1->text().trimmed(), both.left(gap), both.mid(gap).trimmed()};
}

QString EtaResults::copyText() const {
    const Controls& c = m_controls;
    const QLocale locale;
    // Numbers in the user's decimal separator, as the screen shows results, whatever was typed.
    const auto number = [&locale](const QLineEdit* box) { return WithLocaleSeparator(box->text(), locale); };
    QList<QStringList> lines{columnHeadings()};
    for (int i = 0; i < EtaRowCount; ++i)
        lines.append({number(c.speed[i]), c.etaDay[i]->text(), c.etaDate[i]->text()});
    lines.append(QStringList());
    lines.append({m_ui->Label3->text(), c.departure->text()});
    lines.append({m_ui->Label4->text(), number(c.distance)});
    lines.append({m_ui->Label5->text(), number(c.dateLine)});
    lines.append({m_ui->Label6->text(), number(c.timeDifference)});
    return TabSeparated(lines);
}

EtaTable EtaResults::table() const {
    const Controls& c = m_controls;
    EtaTable table;
    for (int i = 0; i < EtaRowCount; ++i)
        table.rows[i] = {c.speed[i]->text(), c.etaDay[i]->text(), c.etaDate[i]->text()};
    table.departure = c.departure->text();
    table.distance = c.distance->text();
    table.dateLine = c.dateLine->text();
    table.timeDiff = c.timeDifference->text();
    return table;
}

void EtaResults::print() {
    m_navigation.print(*this, m_controls.print, EtaReportJob(table()));
}

} // namespace kw
