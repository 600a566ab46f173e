#pragma once

// Shared by the offscreen screen tests: one Screens per test with its messages and program end
// recorded instead of shown, and helpers to reach controls by objectName.

#include "WorkedExamples.h"
#include "app/MainMenu.h"
#include "app/Screens.h"
#include "calc/DatePicker.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
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

    template <typename T = QWidget> static T* child(QWidget& screen, const QString& name) {
        return screen.findChild<T*>(name);
    }

    static void click(QWidget& screen, const QString& button) {
        auto* target = child<QAbstractButton>(screen, button);
        QVERIFY2(target, qPrintable(button));
        QTest::mouseClick(target, Qt::LeftButton);
    }

    static void type(QWidget& screen, const QString& field, const QString& text) {
        auto* edit = child<QLineEdit>(screen, field);
        QVERIFY2(edit, qPrintable(field));
        edit->setText(text);
    }

    static QString text(QWidget& screen, const QString& field) {
        auto* edit = child<QLineEdit>(screen, field);
        return edit ? edit->text() : QStringLiteral("<missing %1>").arg(field);
    }

    // Types a worked example into the calculator screens, numbers with the locale's separator.
    static void fillWorkedPassage(QWidget& form1, const QLocale& locale) {
        const kw::EtaInput input = workedPassage();
        child<kw::DatePicker>(form1, QStringLiteral("SailDate"))->setValue(input.sailDate);
        type(form1, QStringLiteral("STime"), QString(input.sTime).replace(u'.', locale.decimalPoint()));
        type(form1, QStringLiteral("TimeDiff"), input.timeDiff);
        type(form1, QStringLiteral("Dist"), input.dist);
        type(form1, QStringLiteral("Vaart"), input.vaart);
        type(form1, QStringLiteral("VVers"), input.vvers);
    }

    static void fillWorkedSpeed(QWidget& form3, const QLocale& locale) {
        const kw::SpeedInput input = workedSpeed();
        child<kw::DatePicker>(form3, QStringLiteral("SDate"))->setValue(input.sDate);
        child<kw::DatePicker>(form3, QStringLiteral("ADate"))->setValue(input.aDate);
        type(form3, QStringLiteral("STime"), QString(input.sTime).replace(u'.', locale.decimalPoint()));
        type(form3, QStringLiteral("ATime"), QString(input.aTime).replace(u'.', locale.decimalPoint()));
        type(form3, QStringLiteral("TimeDiff"), input.timeDiff);
        type(form3, QStringLiteral("Dist"), input.dist);
    }

    // The program's visible windows by objectName, sorted: "Form1,Form2".
    static QString visible() {
        QStringList names;
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && !window->objectName().isEmpty())
                names << window->objectName();
        }
        std::sort(names.begin(), names.end());
        return names.join(u',');
    }

    kw::Screens screens;
    std::vector<RecordedMessage> messages;
    int ended = 0;
};
