// Walks through the program as a user would, in Dutch, and saves a screenshot of each screen to the
// folder given as the first argument. Run it under Xvfb: scripts/screenshots.sh.

#include "GuiFixture.h"
#include "ui/MessageBox.h"

#include <QFile>
#include <QScreen>
#include <QTimer>

using namespace kw;

namespace {

void shoot(QWidget& window, const QString& file) {
    QApplication::setActiveWindow(&window);
    QTest::qWait(400);
    const QRect frame = window.frameGeometry();
    window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(file);
}

// A report prints on a worker thread; its screen is as before once the report is done.
void printAndWait(GuiFixture& f, const QString& role) {
    f.run(role + QStringLiteral(".print"));
    QAbstractButton* print = f.button(role + QStringLiteral(".print"));
    for (int waited = 0; !print->isEnabled() && waited < 15000; waited += 20)
        QTest::qWait(20);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    GuiFixture f;
    f.screens.menu().showCentred();
    shoot(f.screens.menu(), folder + QStringLiteral("/main-menu.png"));

    f.run(QStringLiteral("menu.etaCalculator"));
    EtaCalculator& eta = f.screens.etaCalculator();
    eta.move(40, 40);
    GuiFixture::fillWorkedPassage(eta, QLocale());
    shoot(eta, folder + QStringLiteral("/eta-calculator.png"));

    f.run(QStringLiteral("etaCalculator.calculate"));
    EtaResults& results = f.screens.etaResults();
    results.move(500, 40);
    shoot(results, folder + QStringLiteral("/eta-results.png"));
    printAndWait(f, QStringLiteral("etaResults"));
    f.run(QStringLiteral("etaResults.menu menu.speedCalculator"));

    SpeedCalculator& speed = f.screens.speedCalculator();
    speed.move(40, 40);
    GuiFixture::fillWorkedSpeed(speed, QLocale());
    f.run(QStringLiteral("speedCalculator.calculate"));
    shoot(speed, folder + QStringLiteral("/speed-calculator.png"));
    printAndWait(f, QStringLiteral("speedCalculator"));

    // A message as the user sees it: the real box, over the screen that raised it.
    const QString distance = speed.controls().distance->text();
    speed.controls().distance->clear();
    f.screens.setMessageSink(ShowMessageBox);
    QTimer whileTheMessageIsOpen;
    whileTheMessageIsOpen.setSingleShot(true);
    QObject::connect(&whileTheMessageIsOpen, &QTimer::timeout, &speed, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr)
            return;
        // The box and the screen behind it, as on the screen.
        QTest::qWait(400);
        const QRect both = box->frameGeometry().united(speed.frameGeometry());
        box->screen()
            ->grabWindow(0, both.x(), both.y(), both.width(), both.height())
            .save(folder + QStringLiteral("/message-box.png"));
        box->close();
    });
    whileTheMessageIsOpen.start(0);
    f.run(QStringLiteral("speedCalculator.calculate"));
    speed.controls().distance->setText(distance);
    f.run(QStringLiteral("speedCalculator.menu menu.about"));
    shoot(f.screens.about(), folder + QStringLiteral("/about.png"));

    // Whatever was said, also where a program without a console can leave it: messages.txt.
    QFile said(folder + QStringLiteral("/messages.txt"));
    const bool written = !f.messages.empty() && said.open(QIODevice::WriteOnly | QIODevice::Text);
    for (const RecordedMessage& message : f.messages) {
        qWarning("%s", qPrintable(message.text));
        if (written)
            said.write(message.text.toUtf8() + '\n');
    }
    return f.messages.empty() ? 0 : 1;
}
