#include "Screens.h"

#include "AboutDialog.h"
#include "Announce.h"
#include "ErrorBoundary.h"
#include "EtaCalculator.h"
#include "EtaResults.h"
#include "MainMenu.h"
#include "MessageBox.h"
#include "Resources.h"
#include "SpeedCalculator.h"
#include "core/RunTimeError.h"
#include "sysinfo/SysInfo.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QProcess>

#include <utility>

namespace kw {

namespace {

// Starts the system-information tool for the About dialog, without a shell and without waiting.
class ProcessHost final : public SysInfoHost {
public:
    explicit ProcessHost(Screens& screens)
        : m_screens(screens) {}

    bool fileExists(const std::string& path) override {
        return QFileInfo(QString::fromStdString(path)).isFile();
    }
    bool start(const std::string& path) override {
        return QProcess::startDetached(QString::fromStdString(path), {});
    }
    void showUnavailable() override {
        m_screens.message(m_screens.aboutLoaded() ? &m_screens.about() : nullptr,
                          QString::fromLatin1(SysInfoUnavailable));
    }

private:
    Screens& m_screens;
};

template <typename T> T& instance(std::unique_ptr<T>& slot, Screens& screens) {
    if (!slot)
        slot = std::make_unique<T>(screens);
    return *slot;
}

} // namespace

Screens::Screens()
    : m_messageSink(ShowMessageBox)
    , m_endHandler([] { QCoreApplication::exit(0); })
    , m_sysInfoLauncher(LaunchSysInfo) {
    RegisterResources();
}

Screens::~Screens() = default;

void Screens::setMenuPicture(QImage picture) {
    m_menuPicture = std::move(picture);
}

QImage Screens::takeMenuPicture() {
    QImage picture = std::exchange(m_menuPicture, QImage());
    return picture.isNull() ? LoadMenuPicture() : picture;
}

MainMenu& Screens::menu() {
    return instance(m_menu, *this);
}

EtaCalculator& Screens::etaCalculator() {
    return instance(m_etaCalculator, *this);
}

EtaResults& Screens::etaResults() {
    return instance(m_etaResults, *this);
}

SpeedCalculator& Screens::speedCalculator() {
    return instance(m_speedCalculator, *this);
}

AboutDialog& Screens::about() {
    return instance(m_about, *this);
}

void Screens::show(QWidget& screen) {
    screen.show();
    screen.raise();
    screen.activateWindow();
}

void Screens::hide(QWidget& screen) {
    screen.hide();
}

void Screens::endProgram() {
    // Reports still underway are not heard of any more: nothing shows after the program has ended.
    m_printing.abandonAll();
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    m_endHandler();
}

void Screens::unloadAbout() {
    if (!m_about)
        return;
    // A message of the dialog's own is still open (its OK can be pressed behind the box by a screen
    // reader or a test robot): the dialog goes when the message has been closed.
    if (m_messagesOverAbout > 0) {
        m_unloadAboutLater = true;
        return;
    }
    m_about->hide();
    // The click that unloads it is still running inside the dialog: delete once it has returned.
    m_about.release()->deleteLater();
    // However it goes, the program never runs on with no window to show for it.
    if (!anyVisible())
        show(menu());
}

bool Screens::anyVisible() const {
    const QWidget* screens[] = {m_menu.get(), m_etaCalculator.get(), m_etaResults.get(),
                                m_speedCalculator.get(), m_about.get()};
    for (const QWidget* screen : screens) {
        if (screen && screen->isVisible())
            return true;
    }
    return false;
}

void Screens::frameClosed(QWidget& screen) {
    if (&screen == static_cast<QWidget*>(m_menu.get())) {
        endProgram();
        return;
    }
    if (&screen == static_cast<QWidget*>(m_about.get())) {
        unloadAbout();
        return;
    }
    hide(screen);
    if (!anyVisible())
        show(menu());
}

void Screens::guard(QWidget& screen, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const RunTimeError& error) {
        QWidget* field = InputField(screen, error.input());
        message(&screen, DescribeError(screen, field, error), QMessageBox::Warning);
        FocusField(field);
    } catch (const std::exception& error) {
        // Not expected from our own code; still no reason to lose the user's work.
        message(&screen, UnexpectedErrorMessage(error), QMessageBox::Warning);
    }
}

void Screens::onClick(QWidget& screen, QAbstractButton* button, std::function<void()> handler) {
    connect(button, &QAbstractButton::clicked, &screen,
            [this, &screen, handler = std::move(handler)] { guard(screen, handler); });
}

void Screens::message(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    const bool overAbout = m_about != nullptr && parent != nullptr && parent->window() == m_about.get();
    m_messagesOverAbout += overAbout ? 1 : 0;
    m_messageSink(parent, QString::fromLatin1(ApplicationTitle), text, icon);
    m_messagesOverAbout -= overAbout ? 1 : 0;
    if (m_unloadAboutLater && m_messagesOverAbout == 0) {
        m_unloadAboutLater = false;
        unloadAbout();
    }
}

void Screens::print(QWidget& screen, QAbstractButton* button, PrintJob job) {
    const QString caption = screen.windowTitle();
    // A button that had the keyboard focus hands it to its window while it is unavailable, so that
    // the keys that press a button (Enter pressed twice, say) press nothing else meanwhile; it gets
    // the focus back afterwards unless the user has moved on.
    const bool hadFocus = button->hasFocus();
    m_printing.start(std::move(job), [this, &screen, button, caption, hadFocus](const PrintResult& result) {
        screen.setWindowTitle(caption);
        screen.unsetCursor();
        button->setEnabled(true);
        if (hadFocus && screen.focusWidget() == &screen)
            button->setFocus(Qt::OtherFocusReason);
        // A failure is said with its message box; that all went well only a screen reader hears,
        // through the window the user is in now, which need not be the one that printed.
        QWidget* focus = QApplication::focusWidget();
        if (result.outcome == PrintOutcome::Printed)
            Announce(focus != nullptr ? *focus : *button, QString::fromUtf16(PrintedAnnouncement));
        else
            message(&screen, PrintMessage(result), QMessageBox::Warning);
    });
    // One report per screen at a time: the button is unavailable until this one is done.
    if (hadFocus)
        screen.setFocus(Qt::OtherFocusReason);
    button->setEnabled(false);
    screen.setWindowTitle(caption + QString::fromUtf16(PrintingCaption));
    screen.setCursor(Qt::BusyCursor);
}

void Screens::startSysInfo() {
    if (!m_sysInfoHost)
        m_sysInfoHost = std::make_unique<ProcessHost>(*this);
    m_sysInfoLauncher(*m_sysInfoHost);
}

} // namespace kw
