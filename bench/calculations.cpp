// The two calculations as their buttons run them, offscreen: from the click on "Bereken ETA" until
// the results screen holds the table, and from "Bereken Vaart" until Text1 holds the speed.

#include "GuiFixture.h"

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
    f.screens.menu().showCentred();

    kw::EtaCalculator& eta = f.screens.etaCalculator();
    f.screens.show(eta);
    GuiFixture::fillWorkedPassage(eta, QLocale());
    QAbstractButton* bereken = eta.controls().calculate;
    timeClicks(*bereken, 50); // the first click also creates the results screen
    report("Bereken ETA", timeClicks(*bereken, clicks));

    kw::SpeedCalculator& speed = f.screens.speedCalculator();
    f.screens.show(speed);
    GuiFixture::fillWorkedSpeed(speed, QLocale());
    QAbstractButton* vaart = speed.controls().calculate;
    timeClicks(*vaart, 50);
    report("Bereken Vaart", timeClicks(*vaart, clicks));
    return f.messages.empty() ? 0 : 1;
}
