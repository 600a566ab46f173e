#pragma once

// The program's shell. Screens owns the five single-instance screens and creates each on its first
// reference; navigation only shows and hides them. Every click and load handler runs through
// guard(), the one place where a RunTimeError is caught and shown, so a failing handler stops at its
// failing step and the program goes on with what the user typed intact.

#include "about/SysInfo.h"
#include "report/TextDevice.h"

#include <QImage>
#include <QMessageBox>
#include <QObject>

#include <functional>
#include <memory>

class QAbstractButton;
class QWidget;

namespace kw {

class AboutDialog;
class EtaCalculator;
class EtaResults;
class MainMenu;
class SpeedCalculator;

inline constexpr const char* ApplicationTitle = "Koerswacht";

class Screens final : public QObject {
    Q_OBJECT

public:
    // A modal message: the error boundary's and the About dialog's. Tests record them instead.
    using MessageSink = std::function<void(QWidget* parent, const QString& title, const QString& text,
                                           QMessageBox::Icon icon)>;
    using DeviceFactory = std::function<std::unique_ptr<TextDevice>(const QString& documentName)>;

    Screens();
    ~Screens() override;
    Q_DISABLE_COPY_MOVE(Screens)

    MainMenu& Start();
    EtaCalculator& Form1();
    EtaResults& Form2();
    SpeedCalculator& Form3();
    AboutDialog& frmAbout();
    bool aboutLoaded() const { return m_about != nullptr; }

    void show(QWidget& screen);
    void hide(QWidget& screen);
    void endProgram();
    void unloadAbout();
    // The window frame's close box: the main menu ends the program, a calculator screen hides and
    // brings back the menu when nothing else of the program would be left on screen.
    void frameClosed(QWidget& screen);

    void guard(QWidget& screen, const std::function<void()>& handler);
    // Wires a button of `screen` so that its click handler runs through guard().
    void onClick(QWidget& screen, QAbstractButton* button, std::function<void()> handler);
    void message(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::NoIcon);

    std::unique_ptr<TextDevice> printerDevice(const QString& documentName);
    Registry& registry();
    SysInfoHost& sysInfoHost();

    void setMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }
    void setDeviceFactory(DeviceFactory factory) { m_deviceFactory = std::move(factory); }
    void setEndHandler(std::function<void()> handler) { m_endHandler = std::move(handler); }
    // The main menu's picture, when start-up has decoded it already; otherwise the menu loads it.
    void setMenuPicture(QImage picture);
    QImage takeMenuPicture();
    void setSystemTools(std::unique_ptr<Registry> registry, std::unique_ptr<SysInfoHost> host);

private:
    bool anyVisible() const;

    std::unique_ptr<MainMenu> m_start;
    std::unique_ptr<EtaCalculator> m_form1;
    std::unique_ptr<EtaResults> m_form2;
    std::unique_ptr<SpeedCalculator> m_form3;
    std::unique_ptr<AboutDialog> m_about;
    QImage m_menuPicture;
    MessageSink m_messageSink;
    DeviceFactory m_deviceFactory;
    std::function<void()> m_endHandler;
    std::unique_ptr<Registry> m_registry;
    std::unique_ptr<SysInfoHost> m_sysInfoHost;
};

} // namespace kw
