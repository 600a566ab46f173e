#pragma once

// Shared by the offscreen screen tests: one Screens per test with its messages and program end
// recorded instead of shown, and helpers to reach controls by objectName.

#include "app/MainMenu.h"
#include "app/Screens.h"

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
