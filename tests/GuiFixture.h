#pragma once

// Shared by the offscreen screen tests: one Screens per test with its messages and program end
// recorded instead of shown, and helpers to work the screens' controls.

#include "WorkedExamples.h"
#include "ui/AboutDialog.h"
#include "ui/DatePicker.h"
#include "ui/EtaCalculator.h"
#include "ui/EtaResults.h"
#include "ui/MainMenu.h"
#include "ui/Screens.h"
#include "ui/SpeedCalculator.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>

struct RecordedMessage {
    QString title;
    QString text;
    QMessageBox::Icon icon;
};

class GuiFixture {
public:
    GuiFixture() {
        screens.setMessageSink(
            [this](QWidget*, const QString& title, const QString& text, QMessageBox::Icon icon) {
                messages.push_back({title, text, icon});
            });
        screens.setEndHandler([this] { ++ended; });
    }

    // A screen by its role: "menu", "etaCalculator", "etaResults", "speedCalculator", "about".
    QWidget& screen(const QString& role) {
        if (role == u"etaCalculator")
            return screens.etaCalculator();
        if (role == u"etaResults")
            return screens.etaResults();
        if (role == u"speedCalculator")
            return screens.speedCalculator();
        if (role == u"about")
            return screens.about();
        return screens.menu();
    }

    // A button by its screen's role and its own: "etaResults.newCalculation".
    QAbstractButton* button(const QString& step) {
        const QString screenRole = step.section(u'.', 0, 0);
        const QString role = step.section(u'.', 1, 1);
        std::vector<std::pair<const char*, QAbstractButton*>> buttons;
        if (screenRole == u"menu") {
            const auto& c = screens.menu().controls();
            buttons = {{"etaCalculator", c.etaCalculator},
                       {"speedCalculator", c.speedCalculator},
                       {"about", c.about},
                       {"endProgram", c.endProgram}};
        } else if (screenRole == u"etaCalculator") {
            const auto& c = screens.etaCalculator().controls();
            buttons = {{"calculate", c.calculate},
                       {"speedCalculator", c.speedCalculator},
                       {"menu", c.menu},
                       {"endProgram", c.endProgram},
                       {"noDateLine", c.noDateLine},
                       {"dateLineDayForward", c.dateLineDayForward},
                       {"dateLineDayBack", c.dateLineDayBack}};
        } else if (screenRole == u"etaResults") {
            const auto& c = screens.etaResults().controls();
            buttons = {{"newCalculation", c.newCalculation},
                       {"print", c.print},
                       {"menu", c.menu},
                       {"endProgram", c.endProgram}};
        } else if (screenRole == u"speedCalculator") {
            const auto& c = screens.speedCalculator().controls();
            buttons = {{"calculate", c.calculate},
                       {"print", c.print},
                       {"etaCalculator", c.etaCalculator},
                       {"menu", c.menu},
                       {"endProgram", c.endProgram},
                       {"noDateLine", c.noDateLine},
                       {"dateLineDayForward", c.dateLineDayForward},
                       {"dateLineDayBack", c.dateLineDayBack}};
        } else if (screenRole == u"about") {
            const auto& c = screens.about().controls();
            buttons = {{"ok", c.ok}, {"sysInfo", c.sysInfo}};
        }
        for (const auto& [name, target] : buttons) {
            if (role == QLatin1String(name))
                return target;
        }
        return nullptr;
    }

    // Clicks "screen.button ..." in turn.
    void run(const QString& steps) {
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            QAbstractButton* target = button(step);
            QVERIFY2(target, qPrintable(step));
            QTest::mouseClick(target, Qt::LeftButton);
        }
    }

    static void click(QAbstractButton* button) {
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Types a worked example into the calculator screens, numbers with the locale's separator.
    static void fillWorkedPassage(kw::EtaCalculator& screen, const QLocale& locale) {
        const kw::EtaInput input = workedPassage();
        const auto& c = screen.controls();
        c.sailDate->setValue(input.sailDate);
        c.departureTime->setText(QString(input.departureTime).replace(u'.', locale.decimalPoint()));
        c.timeDifference->setText(input.timeDifference);
        c.distance->setText(input.distance);
        c.startSpeed->setText(input.startSpeed);
        c.speedStep->setText(input.speedStep);
    }

    static void fillWorkedSpeed(kw::SpeedCalculator& screen, const QLocale& locale) {
        const kw::SpeedInput input = workedSpeed();
        const auto& c = screen.controls();
        c.departureDate->setValue(input.departureDate);
        c.arrivalDate->setValue(input.arrivalDate);
        c.departureTime->setText(QString(input.departureTime).replace(u'.', locale.decimalPoint()));
        c.arrivalTime->setText(QString(input.arrivalTime).replace(u'.', locale.decimalPoint()));
        c.timeDifference->setText(input.timeDifference);
        c.distance->setText(input.distance);
    }

    // The program's visible screens by role, in the order menu, etaCalculator, etaResults,
    // speedCalculator, about: "etaCalculator,etaResults".
    static QString visible() {
        QStringList names;
        const auto add = [&names](const char* name, auto* screen) {
            if (screen != nullptr && screen->isVisible())
                names << QString::fromLatin1(name);
        };
        const auto find = [](auto* none) {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* screen = qobject_cast<decltype(none)>(window))
                    return screen;
            }
            return none;
        };
        add("menu", find(static_cast<kw::MainMenu*>(nullptr)));
        add("etaCalculator", find(static_cast<kw::EtaCalculator*>(nullptr)));
        add("etaResults", find(static_cast<kw::EtaResults*>(nullptr)));
        add("speedCalculator", find(static_cast<kw::SpeedCalculator*>(nullptr)));
        add("about", find(static_cast<kw::AboutDialog*>(nullptr)));
        return names.join(u',');
    }

    kw::Screens screens;
    std::vector<RecordedMessage> messages;
    int ended = 0;
};
