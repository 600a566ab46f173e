#include "GuiFixture.h"
#include "sysinfo/SysInfo.h"
#include "ui/MessageBox.h"
#include "ui/SpacedLabel.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTimer>

#include <QLabel>

#include <cstring>

using namespace kw;

namespace {

class NoRegistry final : public Registry {
public:
    long openKey(std::uint32_t, const std::string&, RegistryHandle& handle) override {
        handle = 0;
        ++opens;
        return 2;
    }
    long queryValue(RegistryHandle, const std::string&, std::uint32_t&, char*, std::uint32_t&) override {
        return 2;
    }
    void closeKey(RegistryHandle) override {}
    int opens = 0;
};

class ToolRegistry final : public Registry {
public:
    long openKey(std::uint32_t, const std::string& path, RegistryHandle& handle) override {
        handle = path == "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO" ? 7 : 0;
        return handle ? RegistryOk : 2;
    }
    long queryValue(RegistryHandle, const std::string& name, std::uint32_t& type, char* buffer,
                    std::uint32_t& size) override {
        if (name != "PATH")
            return 2;
        const char value[] = "/usr/bin/sysinfo-tool";
        std::memcpy(buffer, value, sizeof value);
        size = sizeof value;
        type = RegistryTypeText;
        return RegistryOk;
    }
    void closeKey(RegistryHandle) override {}
};

class RecordingHost final : public SysInfoHost {
public:
    explicit RecordingHost(Screens& screens)
        : m_screens(screens) {}
    bool fileExists(const std::string&) override { return false; }
    bool start(const std::string& path) override {
        started.push_back(path);
        return true;
    }
    void showUnavailable() override { m_screens.message(nullptr, QString::fromLatin1(SysInfoUnavailable)); }
    std::vector<std::string> started;

private:
    Screens& m_screens;
};

} // namespace

class TestAbout final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void textsAfterLoad();
    void layout();
    void keysClose_data();
    void keysClose();
    void sysInfoUnavailable();
    void sysInfoStartsTheTool();
    void okBehindItsOwnMessageWaitsForTheMessage();
    void sentencesAfterBlankRunsStartNewLines();
    void messageBoxesLookLikeTheSystems_data();
    void messageBoxesLookLikeTheSystems();

private:
    AboutDialog& openAbout();
    std::unique_ptr<GuiFixture> m_f;
};

void TestAbout::init() {
    m_f = std::make_unique<GuiFixture>();
    m_f->screens.menu().showCentred();
}

AboutDialog& TestAbout::openAbout() {
    m_f->run(QStringLiteral("menu.about"));
    AboutDialog& about = m_f->screens.about();
    QApplication::setActiveWindow(&about);
    return about;
}

void TestAbout::textsAfterLoad() {
    AboutDialog& about = openAbout();
    const auto& c = about.controls();
    QCOMPARE(about.windowTitle(), QStringLiteral("About Koerswacht"));
    QCOMPARE(c.title->text(), QStringLiteral("Koerswacht"));
    QCOMPARE(c.version->text(), QStringLiteral("Version 6.3.0"));
    const QString description = c.description->text();
    QVERIFY(description.startsWith(QStringLiteral("Koerswacht is een programma dat u helpt met het berekenen "
                                                  "van gemiddelde snelheden en ETA's,   Deze")));
    QVERIFY(description.contains(QStringLiteral("blijven.") + QString(57, u' ') + QStringLiteral("Als u")));
    QVERIFY(description.contains(QString(96, u' ') + QStringLiteral("Het is freeware")));
    QVERIFY(description.contains(QStringLiteral("komt.") + QString(88, u' ') +
                                 QStringLiteral("Voor informatie")));
    QVERIFY(description.endsWith(QStringLiteral("als ik op zee zit.")));
    const QString disclaimer = c.disclaimer->text();
    QVERIFY(disclaimer.startsWith(QStringLiteral("Waarschuwing: U mag Koerswacht gebruiken,")));
    QVERIFY(disclaimer.contains(QStringLiteral("fout in zit.") + QString(159, u' ')));
    const QPushButton* ok = c.ok;
    QCOMPARE(ok->toolTip(), QStringLiteral(" Sluit Info"));
    QVERIFY(ok->isDefault());
    const QPushButton* sysInfo = c.sysInfo;
    QCOMPARE(sysInfo->text(), QStringLiteral("&System Info..."));
    QCOMPARE(sysInfo->toolTip(), QStringLiteral("Geeft Systeem Info"));
    QCOMPARE(QApplication::focusWidget(), ok);
}

void TestAbout::layout() {
    AboutDialog& about = openAbout();
    QCOMPARE(about.geometry().topLeft(), QPoint(156, 129));
    QCOMPARE(about.size(), QSize(569, 344));
    about.ensurePolished();
    QCOMPARE(about.palette().color(QPalette::Window), QColor(192, 255, 255));
    const QLabel* title = about.controls().title;
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(title->font().pointSizeF(), 12.0);
    QVERIFY(!about.controls().icon->pixmap().isNull());
}

void TestAbout::keysClose_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Esc") << int(Qt::Key_Escape);
    QTest::newRow("Enter") << int(Qt::Key_Return);
}

void TestAbout::keysClose() {
    QFETCH(int, key);
    AboutDialog& about = openAbout();
    QTest::keyClick(&about, Qt::Key(key));
    QVERIFY(!m_f->screens.aboutLoaded());
    QCOMPARE(GuiFixture::visible(), QStringLiteral("menu"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Reopened, the dialog is built afresh.
    AboutDialog& again = openAbout();
    QCOMPARE(again.controls().version->text(), QStringLiteral("Version 6.3.0"));
    QCOMPARE(GuiFixture::visible(), QStringLiteral("menu,about"));
}

void TestAbout::sysInfoUnavailable() {
    // The Windows lookup against a registry without either value.
    NoRegistry registry;
    m_f->screens.setSysInfoLauncher([&registry](SysInfoHost& host) { StartSysInfo(registry, host); });
    AboutDialog& about = openAbout();
    GuiFixture::click(about.controls().sysInfo);
    QCOMPARE(registry.opens, 2); // "PATH", then the folder
    QCOMPARE(m_f->messages.size(), size_t(1));
    QCOMPARE(m_f->messages[0].title, QStringLiteral("Koerswacht"));
    QCOMPARE(m_f->messages[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(m_f->messages[0].icon, QMessageBox::NoIcon);
    QVERIFY(about.isVisible());
}

void TestAbout::sysInfoStartsTheTool() {
    ToolRegistry registry;
    RecordingHost launcher(m_f->screens);
    m_f->screens.setSysInfoLauncher([&](SysInfoHost&) { StartSysInfo(registry, launcher); });
    GuiFixture::click(openAbout().controls().sysInfo);
    QCOMPARE(launcher.started, std::vector<std::string>{"/usr/bin/sysinfo-tool"});
    QVERIFY(m_f->messages.empty());
}

// With its message open, the dialog's OK can still be pressed through the accessibility interface
// (a screen reader or a test robot can; mouse and keys are blocked). The dialog must outlive the
// message: deleting it under the running box once freed the box twice.
void TestAbout::okBehindItsOwnMessageWaitsForTheMessage() {
    m_f->screens.setMessageSink(ShowMessageBox); // the real, modal box
    m_f->screens.setSysInfoLauncher([](SysInfoHost& host) { host.showUnavailable(); });
    AboutDialog& about = openAbout();
    QPointer<AboutDialog> watched(&about);
    bool aboutSurvivedThePress = false;
    QString boxText;
    QTimer whileTheMessageIsOpen;
    whileTheMessageIsOpen.setSingleShot(true);
    connect(&whileTheMessageIsOpen, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        boxText = box->text();
        QAccessibleInterface* ok = QAccessible::queryAccessibleInterface(watched->controls().ok);
        QVERIFY(ok && ok->actionInterface());
        QSignalSpy pressed(watched->controls().ok, &QAbstractButton::clicked);
        ok->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(pressed.wait(2000)); // the press is animated, like a click seen on screen
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        aboutSurvivedThePress = !watched.isNull() && m_f->screens.aboutLoaded();
        box->button(QMessageBox::Ok)->click();
    });
    whileTheMessageIsOpen.start(0);
    GuiFixture::click(about.controls().sysInfo);
    QCOMPARE(boxText, QStringLiteral("System Information Is Unavailable At This Time"));
    QVERIFY(aboutSurvivedThePress);
    // Once the message is closed, the press takes effect.
    QVERIFY(!m_f->screens.aboutLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(watched.isNull());
    QCOMPARE(GuiFixture::visible(), QStringLiteral("menu"));
}

void TestAbout::messageBoxesLookLikeTheSystems_data() {
    QTest::addColumn<QString>("screen");
    for (const char* screen : {"menu", "etaCalculator", "etaResults", "speedCalculator", "about"})
        QTest::newRow(screen) << QString::fromLatin1(screen);
}

// The screens' style sheets give them red Arial Narrow texts and orange buttons; a message raised
// on one must still look like the platform's own: the application's font, text colour and buttons.
void TestAbout::messageBoxesLookLikeTheSystems() {
    QFETCH(QString, screen);
    QWidget& owner = m_f->screen(screen);
    m_f->screens.show(owner);
    const auto box =
        MakeMessageBox(&owner, QStringLiteral("Koerswacht"), QStringLiteral("Tekst"), QMessageBox::Warning);
    box->ensurePolished();
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    QVERIFY(label);
    label->ensurePolished();
    QCOMPARE(label->font(), QApplication::font("QMessageBoxLabel"));
    QCOMPARE(label->palette().color(QPalette::WindowText),
             QApplication::palette().color(QPalette::WindowText));
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    ok->ensurePolished();
    QCOMPARE(ok->palette().color(QPalette::Button), QApplication::palette().color(QPalette::Button));
    QCOMPARE(ok->font(), QApplication::font("QPushButton"));
    QVERIFY(box->styleSheet().isEmpty() && box->parentWidget() == nullptr);
    QCOMPARE(static_cast<QAbstractButton*>(box->defaultButton()), ok);
    QCOMPARE(box->windowModality(), Qt::ApplicationModal);
    QCOMPARE(box->windowTitle(), QStringLiteral("Koerswacht"));
    QCOMPARE(box->windowHandle()->transientParent(), owner.windowHandle());
}

// The About texts start a sentence on a new line with a long run of blanks: the run fills its
// line and ends it, and the sentence after it starts at the left margin.
void TestAbout::sentencesAfterBlankRunsStartNewLines() {
    AboutDialog& about = openAbout();
    QLabel* description = about.controls().description;
    const QStringList lines = SpacedLabel::lines(description->text(), QFontMetricsF(description->font()),
                                                 description->contentsRect().width());
    for (const char* sentence : {"Als u het wilt", "Het is freeware", "Voor informatie"}) {
        const bool startsALine = std::any_of(lines.begin(), lines.end(), [sentence](const QString& line) {
            return line.startsWith(QLatin1String(sentence));
        });
        QVERIFY2(startsALine, qPrintable(lines.join(u'|')));
    }
    QVERIFY(lines.first().startsWith(u"Koerswacht is een programma"));
    // Every line fits its label, and together they fit its height.
    const QFontMetricsF metrics(description->font());
    for (const QString& line : lines)
        QVERIFY2(metrics.horizontalAdvance(line) <= description->contentsRect().width(), qPrintable(line));
    QVERIFY(lines.size() * metrics.height() <= description->contentsRect().height());

    // The address pair below it: one on each line.
    auto* addresses = about.findChild<SpacedLabel*>(QStringLiteral("Label1"));
    QVERIFY(addresses);
    const QStringList pair = SpacedLabel::lines(addresses->text(), QFontMetricsF(addresses->font()),
                                                addresses->contentsRect().width());
    QCOMPARE(pair.size(), qsizetype(2));
    QCOMPARE(pair[0].trimmed(), QStringLiteral("www.example.org/koerswacht"));
    QCOMPARE(pair[1], QStringLiteral("koerswacht@example.org"));
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
