// A whole session, both calculations, a print and the About dialog, with HOME pointing at an empty
// folder: Koerswacht keeps no files and no settings, so the folder must still be empty afterwards.

#include "GuiFixture.h"

#include <QDirIterator>
#include <QTemporaryDir>

using namespace kw;

namespace {

QTemporaryDir* home() {
    static QTemporaryDir folder;
    return &folder;
}

QStringList everythingIn(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

} // namespace

class TestNoFiles final : public QObject {
    Q_OBJECT

private slots:
    void fullSessionWritesNothing();
};

void TestNoFiles::fullSessionWritesNothing() {
    QVERIFY(home()->isValid());
    GuiFixture f;
    f.screens.menu().showCentred();

    f.run(QStringLiteral("menu.etaCalculator"));
    GuiFixture::fillWorkedPassage(f.screens.etaCalculator(), QLocale());
    f.run(QStringLiteral("etaCalculator.calculate etaResults.print"));
    // The report prints on a worker: done when its button is available again.
    QTRY_VERIFY_WITH_TIMEOUT(f.screens.etaResults().controls().print->isEnabled(), 15000);
    f.run(QStringLiteral("etaResults.menu menu.speedCalculator"));
    GuiFixture::fillWorkedSpeed(f.screens.speedCalculator(), QLocale());
    f.run(QStringLiteral("speedCalculator.calculate speedCalculator.menu menu.about about.ok"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY2(f.messages.empty(), f.messages.empty() ? "" : qPrintable(f.messages.front().text));
    QCOMPARE(QString::fromLocal8Bit(qgetenv("HOME")), home()->path());
    QCOMPARE(everythingIn(home()->path()), QStringList());
}

int main(int argc, char* argv[]) {
    // Before anything of Qt looks at the environment.
    qputenv("HOME", QFile::encodeName(home()->path()));
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        qunsetenv(variable);
    QApplication app(argc, argv);
    TestNoFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_nofiles.moc"
