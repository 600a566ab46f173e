// A whole session, both calculations, a print and the About dialog, with HOME pointing at an empty
// folder: Koerswacht keeps no files and no settings, so the folder must still be empty afterwards.

#include "GuiFixture.h"

#include "about/AboutDialog.h"
#include "calc/DatePicker.h"
#include "calc/EtaCalculator.h"
#include "calc/EtaResults.h"
#include "calc/SpeedCalculator.h"

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
    f.screens.Start().showCentred();

    GuiFixture::click(f.screens.Start(), QStringLiteral("Command1"));
    QWidget& form1 = f.screens.Form1();
    GuiFixture::fillWorkedPassage(form1, QLocale());
    GuiFixture::click(form1, QStringLiteral("Command1"));
    GuiFixture::click(f.screens.Form2(), QStringLiteral("Command2")); // print

    GuiFixture::click(f.screens.Form2(), QStringLiteral("Command3"));
    GuiFixture::click(f.screens.Start(), QStringLiteral("Command2"));
    QWidget& form3 = f.screens.Form3();
    GuiFixture::fillWorkedSpeed(form3, QLocale());
    GuiFixture::click(form3, QStringLiteral("Command1"));
    GuiFixture::click(form3, QStringLiteral("Command3"));
    GuiFixture::click(f.screens.Start(), QStringLiteral("Command3"));
    GuiFixture::click(f.screens.frmAbout(), QStringLiteral("cmdOK"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(f.messages.size(), size_t(0));
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
