#pragma once

// The screens of the program and how they reach each other. Each screen is a class of its own that
// reads its controls, calls the calculation core and writes the result back; it reaches the other
// screens, the printer and the system-information tool only through Navigation, which Screens
// implements and the program's main() owns. Every click handler runs through the error boundary
// (onClick), the one place where a RunTimeError is caught and shown.

#include "report/PrintJob.h"

#include <QMessageBox>

#include <functional>
#include <memory>

class QAbstractButton;
class QImage;
class QWidget;

namespace kw {

class AboutDialog;
class EtaCalculator;
class EtaResults;
class MainMenu;
class SpeedCalculator;

inline constexpr const char* ApplicationTitle = "Koerswacht";
// Added to a screen's caption while its report is being printed.
inline constexpr const char16_t* PrintingCaption = u" \u2013 bezig met afdrukken\u2026";
// What a screen reader is told when a report has gone to the printer.
inline constexpr const char16_t* PrintedAnnouncement = u"Het rapport is naar de printer gestuurd.";

class Navigation {
public:
    virtual ~Navigation() = default;

    // Each screen exists once, created on its first reference.
    virtual MainMenu& menu() = 0;
    virtual EtaCalculator& etaCalculator() = 0;
    virtual EtaResults& etaResults() = 0;
    virtual SpeedCalculator& speedCalculator() = 0;
    virtual AboutDialog& about() = 0;

    virtual void show(QWidget& screen) = 0;
    virtual void hide(QWidget& screen) = 0;
    // Shows `to`, then hides `from`: what almost every navigation button does.
    void go(QWidget& from, QWidget& to) {
        show(to);
        hide(from);
    }
    virtual void endProgram() = 0;
    virtual void unloadAbout() = 0;
    // The window frame's close box.
    virtual void frameClosed(QWidget& screen) = 0;

    // Wires a button of `screen` so that its click handler runs through the error boundary.
    virtual void onClick(QWidget& screen, QAbstractButton* button, std::function<void()> handler) = 0;
    // A modal message titled with the program's name.
    virtual void message(QWidget* parent, const QString& text,
                         QMessageBox::Icon icon = QMessageBox::NoIcon) = 0;

    // Prints `job`, the report of `screen` as it stood at the click, without waiting for the print
    // system. While it is underway the screen says so in its caption and `button` is unavailable;
    // a report that does not print is told in a message over the screen.
    virtual void print(QWidget& screen, QAbstractButton* button, PrintJob job) = 0;
    virtual void startSysInfo() = 0;
    // The main menu's picture, decoded already at start-up or loaded now.
    virtual QImage takeMenuPicture() = 0;
};

} // namespace kw
