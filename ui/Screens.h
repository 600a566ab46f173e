#pragma once

#include "Navigation.h"
#include "print/PrintWorkers.h"

#include <QImage>
#include <QObject>

#include <functional>
#include <memory>

namespace kw {

class SysInfoHost;

// Owns the five single-instance screens and creates each on its first reference; navigation only
// shows and hides them. A failing handler stops at its failing step, its error is shown, and the
// program goes on with what the user typed intact.
class Screens final : public QObject, public Navigation {
    Q_OBJECT

public:
    // A modal message: the error boundary's and the About dialog's. Tests record them instead.
    using MessageSink = std::function<void(QWidget* parent, const QString& title, const QString& text,
                                           QMessageBox::Icon icon)>;

    Screens();
    ~Screens() override;
    Q_DISABLE_COPY_MOVE(Screens)

    MainMenu& menu() override;
    EtaCalculator& etaCalculator() override;
    EtaResults& etaResults() override;
    SpeedCalculator& speedCalculator() override;
    AboutDialog& about() override;
    bool aboutLoaded() const { return m_about != nullptr; }

    void show(QWidget& screen) override;
    void hide(QWidget& screen) override;
    void endProgram() override;
    void unloadAbout() override;
    // The main menu ends the program; any other screen goes, and the menu comes back when nothing
    // else of the program would be left on screen. The same holds for unloading the About dialog.
    void frameClosed(QWidget& screen) override;

    void onClick(QWidget& screen, QAbstractButton* button, std::function<void()> handler) override;
    void message(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::NoIcon) override;

    void print(QWidget& screen, QAbstractButton* button, PrintJob job) override;
    void startSysInfo() override;
    QImage takeMenuPicture() override;

    void setMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }
    void setEndHandler(std::function<void()> handler) { m_endHandler = std::move(handler); }
    // Finds and starts the system-information tool; the platform's own unless a test sets another.
    void setSysInfoLauncher(std::function<void(SysInfoHost&)> launcher) {
        m_sysInfoLauncher = std::move(launcher);
    }
    void setMenuPicture(QImage picture);

private:
    // The error boundary every click handler runs through.
    void guard(QWidget& screen, const std::function<void()>& handler);
    bool anyVisible() const;

    std::unique_ptr<MainMenu> m_menu;
    std::unique_ptr<EtaCalculator> m_etaCalculator;
    std::unique_ptr<EtaResults> m_etaResults;
    std::unique_ptr<SpeedCalculator> m_speedCalculator;
    std::unique_ptr<AboutDialog> m_about;
    QImage m_menuPicture;
    MessageSink m_messageSink;
    std::function<void()> m_endHandler;
    std::function<void(SysInfoHost&)> m_sysInfoLauncher;
    std::unique_ptr<SysInfoHost> m_sysInfoHost;
    PrintWorkers m_printing;
    int m_messagesOverAbout = 0;
    bool m_unloadAboutLater = false;
};

} // namespace kw
