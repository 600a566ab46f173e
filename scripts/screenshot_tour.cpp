// Walks through the program as a user would, in Dutch, and saves a screenshot of each screen to the
// folder given as the first argument. Run it under Xvfb: scripts/screenshots.sh.

#include "GuiFixture.h"

#include "about/AboutDialog.h"
#include "calc/DatePicker.h"
#include "calc/EtaCalculator.h"
#include "calc/EtaResults.h"
#include "calc/SpeedCalculator.h"

#include <QScreen>

using namespace kw;

namespace {

void shoot(QWidget& window, const QString& file) {
    QApplication::setActiveWindow(&window);
    QTest::qWait(400);
    const QRect frame = window.frameGeometry();
    window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(file);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    GuiFixture f;
    f.screens.Start().showCentred();
    shoot(f.screens.Start(), folder + QStringLiteral("/main-menu.png"));

    GuiFixture::click(f.screens.Start(), QStringLiteral("Command1"));
    QWidget& form1 = f.screens.Form1();
    form1.move(40, 40);
    GuiFixture::fillWorkedPassage(form1, QLocale());
    shoot(form1, folder + QStringLiteral("/eta-calculator.png"));

    GuiFixture::click(form1, QStringLiteral("Command1"));
    QWidget& form2 = f.screens.Form2();
    form2.move(500, 40);
    shoot(form2, folder + QStringLiteral("/eta-results.png"));
    GuiFixture::click(form2, QStringLiteral("Command2"));

    GuiFixture::click(form2, QStringLiteral("Command3"));
    GuiFixture::click(f.screens.Start(), QStringLiteral("Command2"));
    QWidget& form3 = f.screens.Form3();
    form3.move(40, 40);
    GuiFixture::fillWorkedSpeed(form3, QLocale());
    GuiFixture::click(form3, QStringLiteral("Command1"));
    shoot(form3, folder + QStringLiteral("/speed-calculator.png"));
    GuiFixture::click(form3, QStringLiteral("Command4"));

    GuiFixture::click(form3, QStringLiteral("Command3"));
    GuiFixture::click(f.screens.Start(), QStringLiteral("Command3"));
    shoot(f.screens.frmAbout(), folder + QStringLiteral("/about.png"));

    for (const RecordedMessage& message : f.messages)
        qWarning("%s", qPrintable(message.text));
    return f.messages.empty() ? 0 : 1;
}
