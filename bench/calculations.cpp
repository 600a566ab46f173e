// The two calculations as their buttons run them, offscreen: from the click on "Bereken ETA" until
// the results screen holds the table, and from "Bereken Vaart" until Text1 holds the speed.

#include "GuiFixture.h"

#include "calc/EtaCalculator.h"
#include "calc/EtaResults.h"
#include "calc/SpeedCalculator.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

using namespace kw;

namespace {

void report(const char* name, std::vector<qint64> nanoseconds) {
    std::sort(nanoseconds.begin(), nanoseconds.end());
    const auto at = [&](double share) {
        return nanoseconds[size_t(share * (nanoseconds.size() - 1))] / 1000.0;
    };
    std::printf("%-14s %zu clicks: median %.1f us, 90th percentile %.1f us, min %.1f us\n", name,
                nanoseconds.size(), at(0.5), at(0.9), at(0.0));
}

std::vector<qint64> timeClicks(QAbstractButton& button, int clicks) {
    std::vector<qint64> times;
    QElapsedTimer timer;
    for (int i = 0; i < clicks; ++i) {
        timer.start();
        button.click();
        times.push_back(timer.nsecsElapsed());
    }
    return times;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    const int clicks = argc > 1 ? std::atoi(argv[1]) : 2000;
    GuiFixture f;
    f.screens.Start().showCentred();

    QWidget& form1 = f.screens.Form1();
    f.screens.show(form1);
    GuiFixture::fillWorkedPassage(form1, QLocale());
    auto* bereken = GuiFixture::child<QAbstractButton>(form1, QStringLiteral("Command1"));
    timeClicks(*bereken, 50); // the first click also creates the results screen
    report("Bereken ETA", timeClicks(*bereken, clicks));

    QWidget& form3 = f.screens.Form3();
    f.screens.show(form3);
    GuiFixture::fillWorkedSpeed(form3, QLocale());
    auto* vaart = GuiFixture::child<QAbstractButton>(form3, QStringLiteral("Command1"));
    timeClicks(*vaart, 50);
    report("Bereken Vaart", timeClicks(*vaart, clicks));
    return f.messages.empty() ? 0 : 1;
}
