#include "PrintWaitDialog.h"

#include "Navigation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

namespace kw {

namespace {

// A quick answer is the rule: no window for it.
constexpr int QuietWait = 150;

} // namespace

bool PrintWaitDialog::waitFor(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < std::min(QuietWait, milliseconds))
        QThread::msleep(5);
    if (done())
        return true;

    QProgressDialog dialog(QStringLiteral("Wachten op de printer\\u2026"), QString(), 0, 0);
    dialog.setWindowTitle(QString::fromLatin1(ApplicationTitle));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setCancelButton(nullptr);
    dialog.show();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= milliseconds)
            loop.quit();
    });
    poll.start(20);
    loop.exec(); // the modal window keeps clicks off the screens meanwhile
    QApplication::restoreOverrideCursor();
    return done();
}

} // namespace kw
